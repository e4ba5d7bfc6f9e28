;;; emacs_ispell_test.el --- Emacs's ispell and flyspell driving orthspell -*- lexical-binding: t -*-

;; Run by emacs_ispell_test.sh as
;;   emacs --batch -Q -l emacs_ispell_test.el -f orth-test-main
;;   emacs --batch -Q -l emacs_ispell_test.el -f orth-test-personal-list
;; with ORTHSPELL (the tool), ORTH_DICT (the en_US dictionary), ORTH_WORK (a
;; scratch folder) and ORTH_CODING (iso-8859-1 or utf-8) in the environment.
;; Every check prints a PASS or FAIL line; any FAIL exits with status 1.

(require 'cl-lib)
(require 'ispell)
(require 'flyspell)

(defvar orth-failures 0)

(defun orth-check (what ok &optional detail)
  "Report check WHAT as passed when OK, else as failed with DETAIL."
  (if ok
      (message "PASS %s" what)
    (setq orth-failures (1+ orth-failures))
    (message "FAIL %s%s" what (if detail (format "\n     %S" detail) ""))))

(defun orth-finish ()
  (ispell-kill-ispell t)
  (message "%d failure(s)" orth-failures)
  (kill-emacs (if (= orth-failures 0) 0 1)))

(defun orth-coding ()
  (intern (or (getenv "ORTH_CODING") "iso-8859-1")))

;; Emacs passes no encoding option to a program it does not know, so the
;; utf-8 run names the encoding in the dictionary's own arguments.
(setq ispell-program-name (getenv "ORTHSPELL")
      ispell-local-dictionary-alist
      (list (list "en_US" "[[:alpha:]]" "[^[:alpha:]]" "[']" nil
                  (append (list "-d" (getenv "ORTH_DICT"))
                          (if (eq (orth-coding) 'utf-8) (list "--encoding=utf-8")))
                  nil (orth-coding)))
      ispell-dictionary "en_US"
      ispell-personal-dictionary (expand-file-name "personal.lex" (getenv "ORTH_WORK"))
      ispell-silently-savep t
      flyspell-issue-message-flag nil
      flyspell-issue-welcome-flag nil)

(defconst orth-text
  (concat "Fabergé and Dürer met in Düsseldorf with a wrold map.\n"
          "The speling step is definately fine.\n"
          "Gruyère is good, said the naïve Dürer becuase.\n")
  "Latin-1 accented words before misspellings, over three lines.")

(defconst orth-expected-misses
  '(("wrold" . "world") ("speling" . "spelling") ("definately" . "definitely")
    ("naïve" . "naive") ("becuase" . "because"))
  "Misspelled words of `orth-text' in order, with their expected first suggestion.")

(defun orth-test-version ()
  (let ((line (condition-case failure (ispell-check-version t)
                (error (list 'error failure)))))
    (orth-check "ispell-check-version accepts the tool"
                (and (stringp line)
                     (string-match-p "^@(#) International Ispell Version 3\\.1\\.20 (but really orthspell [0-9.]+)$"
                                     line))
                line)))

(defun orth-test-buffer-check ()
  "Runs ispell-buffer with a command loop that records each finding and
takes the first suggestion, as a user pressing 0 would."
  (let (found)
    (with-temp-buffer
      (insert orth-text)
      (ispell-change-dictionary "en_US")
      (cl-letf (((symbol-function 'ispell-command-loop)
                 (lambda (miss _guess word start _end)
                   (push (list word start (car miss)
                               (buffer-substring-no-properties start (+ start (length word))))
                         found)
                   (car miss))))
        (condition-case failure
            (ispell-buffer)
          (error (push (list 'error failure) found))))
      (setq found (nreverse found))
      (orth-check "ispell-buffer: no misalignment and no error"
                  (not (assq 'error found)) found)
      (orth-check "ispell-buffer: the misspelled words, in order"
                  (equal (mapcar #'car found)
                         '("wrold" "speling" "definately" "naïve" "becuase"))
                  found)
      (orth-check "ispell-buffer: each reported word stands at its position"
                  (cl-every (lambda (f) (equal (nth 0 f) (nth 3 f))) found) found)
      (orth-check "ispell-buffer: the expected first suggestions"
                  (cl-every (lambda (f)
                              (let ((want (cdr (assoc (car f) orth-expected-misses))))
                                (or (null want) (equal want (nth 2 f)))))
                            found)
                  found)
      (orth-check "ispell-buffer: the corrections land in the buffer"
                  (string-match-p "a world map\\.\nThe spelling step is definitely fine\\.\nGruyère is good, said the naive Dürer because\\."
                                  (buffer-string))
                  (buffer-string)))))

(defconst orth-latex
  (concat "\\documentclass{article}\n"
          "\\begin{document}\n"
          "\\section{Intro} The wrold has $qqmath + x_{qqsub}$ and \\cite{qqkey}.\n"
          "\\begin{align}\n"
          "qqinside &= \\frac{qqa}{qqb}\n"
          "\\end{align}\n"
          "A speling here with \\verb|qqverb| and na\\\"{\\i}ve words.\n"
          "\\end{document}\n")
  "A LaTeX document whose only misspellings are in its prose; the accented
naïve (not in en_US) is reported whole, as written.")

(defun orth-test-latex-buffer ()
  "ispell-buffer in a LaTeX buffer: Emacs turns the tool's TeX mode on with
`+', and only the prose is reported, each word at its position."
  (let (found sent)
    (with-temp-buffer
      (insert orth-latex)
      (latex-mode)
      (ispell-change-dictionary "en_US")
      (let ((record (lambda (string) (push string sent))))
        (advice-add 'ispell-send-string :before record)
        (unwind-protect
            (cl-letf (((symbol-function 'ispell-command-loop)
                       (lambda (_miss _guess word start _end)
                         (push (list word (buffer-substring-no-properties
                                           start (+ start (length word))))
                               found)
                         nil)))
              (condition-case failure
                  (ispell-buffer)
                (error (push (list 'error failure) found))))
          (advice-remove 'ispell-send-string record)))
      (setq found (nreverse found))
      (orth-check "LaTeX buffer: Emacs sent + for TeX mode"
                  (member "+\n" sent) (reverse sent))
      (orth-check "LaTeX buffer: only the misspelled prose words, in order"
                  (equal (mapcar #'car found) '("wrold" "speling" "na\\\"{\\i}ve")) found)
      (orth-check "LaTeX buffer: each reported word stands at its position"
                  (cl-every (lambda (f) (equal (nth 0 f) (nth 1 f))) found) found))))

(defun orth-test-flyspell ()
  (with-temp-buffer
    (insert orth-text)
    (ispell-change-dictionary "en_US")
    (flyspell-mode 1)
    (flyspell-buffer)
    (let ((marked (sort (cl-loop for o in (overlays-in (point-min) (point-max))
                                 when (flyspell-overlay-p o)
                                 collect (cons (overlay-start o)
                                               (buffer-substring-no-properties
                                                (overlay-start o) (overlay-end o))))
                        (lambda (a b) (< (car a) (car b))))))
      (orth-check "flyspell-buffer marks exactly the misspelled words"
                  (equal (mapcar #'cdr marked)
                         '("wrold" "speling" "definately" "naïve" "becuase"))
                  marked))
    (flyspell-mode -1)))

(defun orth-test-pdict-save ()
  "Inserts a word as the ispell command loop's `i' does and saves."
  (ispell-change-dictionary "en_US")
  (ispell-init-process)
  (ispell-send-string "*orthtestword\n")
  (setq ispell-pdict-modified-p '(t))
  (ispell-pdict-save t)
  ;; The save happens when the tool reads the line; a check round trip after
  ;; it proves the line was handled.
  (ispell-send-string "^orthtestword\n")
  (let ((answer (orth-answer)))
    (orth-check "an inserted word is correct in the same process" (equal answer '("*")) answer))
  (ispell-kill-ispell t))

(defun orth-answer ()
  "Reads one answer of the ispell process: its lines up to the empty line."
  (setq ispell-filter nil)
  (while (progn (ispell-accept-output) (not (string= "" (car ispell-filter)))))
  (prog1 (nreverse (cdr ispell-filter)) (setq ispell-filter nil)))

(defun orth-run (test)
  "Runs TEST; an error in it counts as a failure and the next test still runs."
  (condition-case failure
      (funcall test)
    (error (orth-check (format "%s runs without error" test) nil failure))))

(defun orth-test-main ()
  (mapc #'orth-run '(orth-test-version orth-test-buffer-check orth-test-latex-buffer
                     orth-test-flyspell orth-test-pdict-save))
  (orth-finish))

(defun orth-test-personal-list ()
  "In a new Emacs process, the word saved by the first one is correct."
  (orth-run #'orth-check-personal-list)
  (orth-finish))

(defun orth-check-personal-list ()
  (ispell-change-dictionary "en_US")
  (ispell-init-process)
  (ispell-send-string "%\n^orthtestword wrold\n")
  (let ((answer (orth-answer)))
    (orth-check "ispell-pdict-save keeps the word for a new Emacs process"
                (and (equal (car answer) "*")
                     (string-prefix-p "& wrold " (cadr answer)))
                answer)))

;;; emacs_ispell_test.el ends here
