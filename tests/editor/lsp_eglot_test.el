;;; Emacs 28 with eglot drives orthspell lsp: emacs --batch -l lsp_eglot_test.el
;;; with ORTHSPELL, ORTH_DICT and ORTH_WORK in the environment. A line with
;;; accented, CJK and astral characters comes before the misspelling.
(require 'eglot)
(require 'cl-lib)
(defvar orth-failed nil)
(defun orth-check (ok msg)
  (unless ok (setq orth-failed t))
  (princ (format "%s %s\n" (if ok "ok  " "FAIL") msg)))
(defun orth-wait (pred secs)
  ;; Eglot sends its didChange and flymake asks eglot for the diagnostics
  ;; from idle timers, and batch Emacs is never idle: do what they would.
  (let ((end (+ (float-time) secs)))
    (while (and (not (funcall pred)) (< (float-time) end))
      (eglot--signal-textDocument/didChange)
      (accept-process-output nil 0.05)
      (flymake-start))
    (funcall pred)))
(defun orth-words ()
  (sort (mapcar (lambda (d) (buffer-substring (flymake-diagnostic-beg d) (flymake-diagnostic-end d)))
                (flymake-diagnostics))
        #'string<))
(defun orth-pick (title)                ; the interactive path, with the menu answered
  (cl-letf (((symbol-function 'completing-read) (lambda (&rest _) title))
            (last-nonmenu-event ?\r))
    (eglot-code-actions (point) (1+ (point)) nil t)))

(let* ((work (getenv "ORTH_WORK"))
       (personal (expand-file-name "personal.lex" work))
       (file (expand-file-name "sample.txt" work)))
  (setq eglot-server-programs
        `((text-mode . (,(getenv "ORTHSPELL") "lsp" "-d" ,(getenv "ORTH_DICT") "-p" ,personal))))
  (condition-case err
      (progn
        (with-temp-file file (insert "Café 中文 😀 wrold\nthe cat sat helo\nZorblax\n"))
        (find-file file)
        (text-mode)
        (apply #'eglot (eglot--guess-contact))
        (orth-check (eglot-current-server) "server connected")
        (orth-check (orth-wait (lambda () (= 3 (length (flymake-diagnostics)))) 30) "3 diagnostics")
        (orth-check (equal (orth-words) '("Zorblax" "helo" "wrold"))
                    (format "ranges cover the words: %S" (orth-words)))
        (goto-char (point-min)) (search-forward "wrold") (backward-word)
        (orth-pick "Replace with «world»")
        (orth-check (orth-wait (lambda () (string= (buffer-substring (point-min) (line-end-position))
                                                   "Café 中文 😀 world")) 30)
                    (concat "suggestion applied: "
                            (buffer-substring (point-min) (line-end-position))))
        (orth-check (orth-wait (lambda () (equal (orth-words) '("Zorblax" "helo"))) 30)
                    (format "diagnostics after the edit: %S" (orth-words)))
        (goto-char (point-min)) (search-forward "Zorblax") (backward-word)
        (orth-pick "Add «Zorblax» to the personal word list")
        (orth-check (orth-wait (lambda () (equal (orth-words) '("helo"))) 30)
                    (format "added word no longer reported: %S" (orth-words)))
        (orth-check (with-temp-buffer
                      (insert-file-contents personal)
                      (search-forward "zorblax" nil t))
                    "personal list written")
        (set-buffer-modified-p nil)
        (eglot-shutdown (eglot-current-server)))
    (error (orth-check nil (format "error: %S" err)))))
(kill-emacs (if orth-failed 1 0))
