#!/usr/bin/env python3
"""The document corpus: real files from Debian packages, one set per format.

  corpus.py select [corpus.tsv]   write the list: each chosen file as the
                                  package the mirror serves now holds it (run
                                  by hand, once, to freeze the corpus)
  corpus.py fetch corpus.tsv WORK download the packages the list names, copy
                                  its files to WORK/corpus/FORMAT/NAME and
                                  check their sha256

The list has one line per file: format, name, package, version, path inside
the package, sha256 of the copy (gunzipped when the path ends in .gz). fetch
asks apt for the recorded version of each package and takes the current one
when the mirror no longer has it; a copy whose sha256 differs from the list is
still used, and WORK/corpus-changed.txt names it (the results say how many).
Nothing is installed: the packages are unpacked under WORK/packages/.
"""
import gzip
import hashlib
import os
import shutil
import subprocess
import sys

HEADER = "format\tname\tpackage\tversion\tpath\tsha256"

DOC = "/usr/share/doc"
TL = "/usr/share/doc/texlive-doc/latex"
HB = "/usr/share/doc/debian-handbook/html/en-US"
PY = "/usr/share/doc/python3.11/html"
GIT = "/usr/share/doc/git-doc/howto"

# (format, path on an installed system, name of the copy[, package]). Chosen
# by hand for a mix of projects and writing styles, 10k-50k words a format,
# valid UTF-8. The package is named where it need not be installed (select
# then unpacks it).
SELECTION = [
    *[("markdown", f"{DOC}/{p}", None) for p in [
        "libglib2.0-0/README.md", "python3-httplib2/README.md", "libpango-1.0-0/README.md",
        "git/README.md", "libxml2/README.md", "procps/bugs.md", "googletest/README.md.gz",
        "postgresql-common/README.md.gz", "openssl/README.md.gz",
        "python3-xmltodict/README.md.gz", "libgnutls30/README.md.gz", "librsvg2-2/README.md.gz",
        "pkgconf-bin/README.md.gz", "libbenchmark-dev/README.md.gz", "tcl8.6/README.md.gz",
        "iso-codes/README.md.gz", "libnuspell-dev/README.md.gz",
        "systemd/TRANSIENT-SETTINGS.md.gz", "libgumbo-dev/README.md.gz",
        "libcrypt-dev/README.md.gz", "zstd/README.md.gz", "apt/README.md.gz",
        "man-db/README.md.gz", "systemd/HACKING.md.gz", "libffi-dev/README.md.gz"]],
    *[("html", f"{HB}/{p}", f"handbook-{p}") for p in [
        "sect.apt-cache.html", "sect.backup.html", "sect.config-bootloader.html",
        "sect.firewall-packet-filtering.html", "sect.hotplug.html",
        "sect.rights-management.html", "sect.syslog.html", "sect.why-debian.html",
        "sect.x509-cert.html", "sect.remote-login.html"]],
    *[("html", f"{PY}/{p}", "python-" + p.replace("/", "-")) for p in [
        "tutorial/appetite.html", "tutorial/interpreter.html", "tutorial/errors.html",
        "tutorial/modules.html", "tutorial/stdlib.html", "tutorial/floatingpoint.html",
        "tutorial/venv.html", "howto/sockets.html", "howto/sorting.html",
        "howto/ipaddress.html", "howto/annotations.html"]],
    *[("tex", f"{TL}/{p}", None, "texlive-latex-base-doc") for p in [
        "base/clsguide.tex.gz", "base/cfgguide.tex.gz", "base/modguide.tex.gz",
        "base/cyrguide.tex.gz", "base/ltx3info.tex.gz", "base/ltnews20.tex.gz",
        "base/ltnews21.tex.gz", "base/ltnews22.tex.gz", "base/ltnews23.tex.gz",
        "base/ltnews24.tex.gz", "base/ltnews26.tex.gz", "base/ltnews28.tex.gz",
        "graphics/grfguide.tex.gz", "amsmath/amsldoc.tex.gz"]],
    *[("c", f"/usr/include/{p}", None) for p in [
        "zlib.h", "stdio.h", "string.h", "unistd.h", "argp.h", "regex.h", "glob.h", "fts.h",
        "dlfcn.h", "fnmatch.h", "malloc.h", "search.h", "link.h", "gumbo.h", "md4c.h"]],
    *[("python", f"/usr/lib/python3.11/{p}", None) for p in [
        "dataclasses.py", "heapq.py", "fractions.py", "ntpath.py", "zipimport.py",
        "_osx_support.py", "profile.py", "functools.py", "gettext.py", "contextlib.py",
        "sysconfig.py", "platform.py", "tabnanny.py", "_strptime.py"]],
    *[("nroff", f"/usr/share/man/{p}.gz", None) for p in [
        "man1/ls.1", "man1/cp.1", "man1/grep.1", "man1/sed.1", "man1/gzip.1", "man1/xargs.1",
        "man1/diff.1", "man1/sort.1", "man1/date.1", "man1/kill.1", "man1/make.1",
        "man1/aspell.1", "man1/hunspell.1", "man5/passwd.5", "man1/chmod.1", "man1/ln.1",
        "man1/zstd.1", "man1/git-commit.1", "man7/regex.7", "man5/sources.list.5",
        "man1/patch.1"]],
    *[("email", f"{GIT}/{p}.txt", f"git-{p}.eml", "git-doc") for p in [
        "keep-canonical-history-correct", "maintain-git", "new-command",
        "rebase-from-internal-branch", "rebuild-from-update-hook",
        "recover-corrupted-blob-object", "recover-corrupted-object-harder",
        "revert-a-faulty-merge", "revert-branch-rebase", "separating-topic-branches",
        "setup-git-server-over-http", "update-hook-example", "using-merge-subtree",
        "using-signed-tag-in-pull-request"]],
    ("email", f"{DOC}/spamassassin/examples/sample-nonspam.txt", "spamassassin-sample-nonspam.eml",
     "spamassassin"),
]


def run(*args, **kw):
    return subprocess.run(args, capture_output=True, text=True, **kw)


def content(path):
    with open(path, "rb") as f:
        data = f.read()
    return gzip.decompress(data) if path.endswith(".gz") else data


def copy_name(fmt, path, name):
    if name:
        return name
    base = os.path.basename(path)
    if base.endswith(".gz"):
        base = base[:-3]
    if fmt == "markdown":  # READMEs share their names: prefix the package folder
        return os.path.basename(os.path.dirname(path)) + "-" + base
    return base


def unpack(package, version, work):
    """Unpacks PACKAGE under WORK/packages/ (the recorded VERSION when the
    mirror still has it, else the current one); returns the root and the
    version it holds. A package already unpacked is reused."""
    root = os.path.join(work, "packages", package)
    stamp = os.path.join(root, ".version")
    if os.path.exists(stamp):
        return root, open(stamp).read().strip()
    debs = os.path.join(work, "debs")
    os.makedirs(debs, exist_ok=True)
    deb, got = download(package, version, debs)
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(root)
    if run("dpkg-deb", "-x", deb, root).returncode != 0:
        sys.exit(f"cannot unpack {deb}")
    os.remove(deb)
    with open(stamp, "w") as f:
        f.write(got + "\n")
    print(f"  {package} {got}" + ("" if got == version or not version else f" (list: {version})"))
    return root, got


def select(out, work):
    """Freezes SELECTION: each file as the package the mirror serves now has it."""
    lines = [HEADER]
    for fmt, path, name, *hint in SELECTION:
        real = os.path.realpath(path)
        owner = run("dpkg", "-S", real).stdout.split("\n")[0] if os.path.exists(real) else ""
        if owner:
            package = owner.split(":")[0].split(",")[0].strip()
        elif hint:
            package, real = hint[0], path
        else:
            sys.exit(f"no installed package holds {path}")
        root, version = unpack(package, "", work)
        data = content(os.path.join(root, real.lstrip("/")))
        data.decode("utf-8")  # the corpus is UTF-8 only
        digest = hashlib.sha256(data).hexdigest()
        lines.append("\t".join([fmt, copy_name(fmt, path, name), package, version, real, digest]))
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")
    print(f"wrote {out}: {len(lines) - 1} files")


def read_list(path):
    rows = []
    with open(path) as f:
        header = f.readline().rstrip("\n")
        if header != HEADER:
            sys.exit(f"{path}: unexpected header {header!r}")
        for line in f:
            if line.strip():
                rows.append(dict(zip(HEADER.split("\t"), line.rstrip("\n").split("\t"))))
    return rows


def download(package, version, debs):
    """Downloads PACKAGE (the recorded version when the mirror still has it);
    returns the .deb's path and the version it holds."""
    for request in ([f"{package}={version}"] if version else []) + [package]:
        got = run("apt-get", "download", "-q", request, cwd=debs)
        if got.returncode == 0:
            break
    else:
        sys.exit(f"apt-get download {package}: {got.stderr.strip()}")
    candidates = [f for f in os.listdir(debs) if f.startswith(package + "_") and f.endswith(".deb")]
    deb = max(candidates, key=lambda f: os.path.getmtime(os.path.join(debs, f)))
    got_version = run("dpkg-deb", "-f", os.path.join(debs, deb), "Version").stdout.strip()
    return os.path.join(debs, deb), got_version


def fetch(listing, work):
    rows = read_list(listing)
    corpus = os.path.join(work, "corpus")
    roots, versions = {}, {}
    for row in rows:
        if row["package"] not in roots:
            roots[row["package"]], versions[row["package"]] = unpack(
                row["package"], row["version"], work)
    changed = []
    shutil.rmtree(corpus, ignore_errors=True)
    for row in rows:
        source = os.path.join(roots[row["package"]], row["path"].lstrip("/"))
        if not os.path.exists(source):
            sys.exit(f"{row['package']} {versions[row['package']]} has no {row['path']}")
        data = content(source)
        if hashlib.sha256(data).hexdigest() != row["sha256"]:
            changed.append(f"{row['format']}/{row['name']}: {row['package']} "
                           f"{versions[row['package']]} (list: {row['version']})")
        target = os.path.join(corpus, row["format"], row["name"])
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
    with open(os.path.join(work, "corpus-changed.txt"), "w") as f:
        f.write("".join(line + "\n" for line in changed))
    for line in changed:
        print(f"  warning: differs from the list: {line}")
    print(f"corpus: {len(rows)} files, {len(changed)} differ from {os.path.basename(listing)}")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    if len(sys.argv) in (2, 3) and sys.argv[1] == "select":
        select(sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "corpus.tsv"),
               os.path.join(here, "work"))
    elif len(sys.argv) == 4 and sys.argv[1] == "fetch":
        fetch(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
