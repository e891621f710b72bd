#!/usr/bin/env python3
"""Reliability checks of quirew-cli against real failures: every file operation failing
in turn (strace fault injection), kill -9 in the middle of a save, and two programs
working on one project at once. After every run each chapter and the project file are
byte for byte their old or their new text, a run that failed says so with a non-zero
status and a reason, and nothing outside the project folder changes.

Usage: reliability.py faults-save|faults-build|faults-tree|kill|concurrency QUIREW_CLI SOURCE_DIR
"""
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SEP = "-" * 50


def block(title, keywords=""):
    return (f"{SEP}<font size=\"-2\"><br>\r\nTitle='{title}' <br>KeyWords='{keywords} ' "
            f"<!-- FileName='' - Icon='10' - BgImage='' - BgColour='$FFFFFF' - Related=''--> \r\n"
            f"<br></font>{SEP}\r\n")


def make_project(folder, chapters, topics):
    """A project whose every chapter changes on a save: the line after the body tag is
    not kept by the write-back."""
    os.makedirs(os.path.join(folder, "sub"), exist_ok=True)
    lines = ["[CHAPTER_FILES]", f"NumOfChapters={chapters}"]
    for c in range(chapters):
        name = f"sub\\c{c}.htm" if c % 5 == 4 else f"c{c}.htm"
        text = ("<html><head><title>_Title_</title></head>\r\n<body>\r\n"
                "<p>dropped by a save</p>\r\n")
        for t in range(topics):
            text += block(f"Chapter {c} topic {t}", f"k{t % 7}, shared")
            text += f"<p>Text of chapter {c} topic {t}.</p>\r\n<p>More text {c}.{t}</p>\r\n"
        text += "</body></html>\r\n"
        with open(os.path.join(folder, name.replace("\\", "/")), "w", newline="") as f:
            f.write(text)
        lines += [f"ChapterTitle{c}=Chapter {c}", f"ChapterFileName{c}={name}"]
    with open(os.path.join(folder, "p.qwr"), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def snapshot(folder, skip=()):
    """Every file below folder with its bytes (links as their target)."""
    files = {}
    for root, dirs, names in os.walk(folder):
        dirs[:] = [d for d in dirs if os.path.join(root, d) not in skip]
        for n in names:
            p = os.path.join(root, n)
            rel = os.path.relpath(p, folder)
            if os.path.islink(p):
                files[rel] = "link:" + os.readlink(p)
            else:
                with open(p, "rb") as f:
                    files[rel] = f.read()
    return files


def comparable(files):
    """A snapshot without the lock file, and the record of written files without its time
    stamps, which differ from run to run."""
    result = {}
    for name, text in files.items():
        if name.endswith(".lock"):
            continue
        if name.endswith(".qwr.written"):
            text = b"\n".join(b"\t".join(line.split(b"\t")[::2]) for line in text.splitlines())
        result[name] = text
    return result


def authored(files):
    """The chapters and the project file of a snapshot."""
    return {k: v for k, v in files.items() if k.endswith(".htm") and k.startswith(("c", "sub/c"))
            or k == "p.qwr"}


class Workplace:
    def __init__(self, cli, source_dir, in_memory):
        self.cli = cli
        # kill -9 loses nothing of what reached the page cache, so the many copies of the
        # big project may live in memory, where flushing them costs nothing.
        base = "/dev/shm" if in_memory and os.path.isdir("/dev/shm") else None
        self.root = tempfile.mkdtemp(prefix="qw-reliability-", dir=base)
        self.data = os.path.join(self.root, "data")
        os.mkdir(self.data)
        for entry in os.listdir(os.path.join(source_dir, "data")):
            if entry != "quirew.cfg":
                os.symlink(os.path.join(source_dir, "data", entry), os.path.join(self.data, entry))
        self.outside = os.path.join(self.root, "outside")
        os.mkdir(self.outside)
        with open(os.path.join(self.outside, "keep.txt"), "w") as f:
            f.write("an author's file outside the project\n")
        self.env = dict(os.environ, QUIREW_DATA_DIR=self.data,
                        XDG_CONFIG_HOME=os.path.join(self.root, "config"))

    def run(self, args, prefix=(), timeout=120):
        # Run from a folder outside the project: a program that lost its project path
        # once wrote there, and the check of the outside sees it.
        return subprocess.run(list(prefix) + [self.cli] + args, env=self.env, capture_output=True,
                              timeout=timeout, cwd=self.outside)

    def outside_state(self, project):
        return snapshot(self.root, skip=(project, self.data))

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


SYSCALLS = ["openat", "read", "write", "close", "fsync", "rename", "renameat", "renameat2",
            "link", "linkat", "unlink", "unlinkat", "fchmod", "fchown", "flock", "mkdir",
            "newfstatat", "ftruncate"]


def count_calls(work, args):
    with tempfile.NamedTemporaryFile("r", suffix=".txt") as out:
        work.run(args, prefix=["strace", "-f", "-qq", "-c", "-o", out.name])
        summary = out.read().splitlines()
    counts = {}
    for line in summary:
        parts = line.split()
        if len(parts) >= 5 and parts[-1] in SYSCALLS and parts[3].isdigit():
            counts[parts[-1]] = int(parts[3])
    return counts


def check_faults(work, command, errors, problems, skip=()):
    """Runs command once cleanly, then once per call of each file operation with that
    call failing; checks the invariants after each run."""
    pristine = os.path.join(work.root, "pristine")
    make_project(pristine, 3, 3)
    project = os.path.join(work.root, "proj")
    args = command + [os.path.join(project, "p.qwr")]

    def fresh():
        shutil.rmtree(project, ignore_errors=True)
        shutil.copytree(pristine, project, symlinks=True)

    fresh()
    old = snapshot(project)
    clean = work.run(args)
    if clean.returncode != 0:
        problems.append(f"{' '.join(command)}: clean run failed: {clean.stderr.decode()}")
        return 0
    new = snapshot(project)
    outside = work.outside_state(project)
    fresh()
    counts = count_calls(work, args)
    runs = 0
    for call, n in sorted(counts.items()):
        if call in skip:
            continue
        for when in range(1, n + 1):
            for error in errors:
                fresh()
                result = work.run(args, prefix=["strace", "-f", "-qq", "-o", "/dev/null", "-e",
                                                f"inject={call}:error={error}:when={when}"])
                runs += 1
                after = snapshot(project)
                what = f"{' '.join(command)} with {call} #{when} failing ({error})"
                for name, text in authored(old).items():
                    if after.get(name) not in (text, authored(new).get(name)):
                        problems.append(f"{what}: {name} is neither its old nor its new text")
                if result.returncode == 0 and comparable(after) != comparable(new):
                    differ = sorted(k for k in set(comparable(after)) | set(comparable(new))
                                    if comparable(after).get(k) != comparable(new).get(k))
                    problems.append(f"{what}: status 0 but these files differ from a clean "
                                    f"run: {' '.join(differ[:4])}")
                if result.returncode != 0 and result.returncode != 127 and \
                        not result.stderr.strip():
                    problems.append(f"{what}: status {result.returncode} without a reason")
                if work.outside_state(project) != outside:
                    problems.append(f"{what}: something outside the project changed")
    return runs


def faults_of(command, errors, skip=()):
    def run(work):
        problems = []
        return check_faults(work, command, errors, problems, skip), problems
    return run


def kill(work):
    """kill -9 at random moments of a 100 x 99 save: every chapter is complete old or
    complete new, or its old text is in its backup; the next save then succeeds."""
    problems = []
    pristine = os.path.join(work.root, "pristine")
    make_project(pristine, 100, 99)
    project = os.path.join(work.root, "proj")
    shutil.copytree(pristine, project)
    qwr = os.path.join(project, "p.qwr")
    start = time.monotonic()
    work.run(["check", qwr])
    load_time = time.monotonic() - start
    start = time.monotonic()
    if work.run(["save", qwr]).returncode != 0:
        return 0, ["clean save failed"]
    save_time = time.monotonic() - start
    new = authored(snapshot(project))
    old = authored(snapshot(pristine))
    rng = random.Random(7)
    runs = 50
    midway = 0
    for i in range(runs):
        shutil.rmtree(project)
        shutil.copytree(pristine, project)
        proc = subprocess.Popen([work.cli, "save", qwr], env=work.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        # Mostly while files are written, which comes after loading.
        time.sleep(rng.uniform(load_time * 0.8, save_time * 1.1))
        proc.send_signal(signal.SIGKILL)
        proc.wait()
        after = snapshot(project)
        if any(k.endswith((".tmp", ".qw-old")) for k in after):
            midway += 1
        for name, text in old.items():
            now = after.get(name)
            if now in (text, new[name]):
                continue
            bak = os.path.splitext(name)[0] + ".bak"
            if after.get(bak) != text:
                problems.append(f"run {i}: {name} is damaged and its backup does not hold it")
        again = work.run(["save", qwr])
        if again.returncode != 0 or authored(snapshot(project)) != new:
            problems.append(f"run {i}: the save after the kill did not give the new text: "
                            f"{again.stderr.decode().strip()}")
    print(f"kill: {midway} of {runs} saves were stopped while they had files half done")
    return runs, problems


def concurrency(work):
    """Two saves at once, and a save during a build: no chapter lost or mixed; a program
    that could not get the project says it is busy."""
    problems = []
    pristine = os.path.join(work.root, "pristine")
    make_project(pristine, 30, 40)
    project = os.path.join(work.root, "proj")
    shutil.copytree(pristine, project)
    qwr = os.path.join(project, "p.qwr")
    work.run(["save", qwr])
    new = authored(snapshot(project))
    if work.run(["build", "--no-compile", qwr]).returncode != 0:
        return 0, ["clean build failed"]
    clean_pages = {k: v for k, v in snapshot(project).items() if k not in new and
                   k.endswith(".htm")}
    runs = 0
    for pair in (["save"], ["build", "--no-compile"]):
        for i in range(50):
            shutil.rmtree(project)
            shutil.copytree(pristine, project)
            first = subprocess.Popen([work.cli, "save", qwr], env=work.env,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            second = subprocess.Popen([work.cli] + pair + [qwr], env=work.env,
                                      stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            results = [(first,) + first.communicate(timeout=120),
                       (second,) + second.communicate(timeout=120)]
            runs += 1
            after = snapshot(project)
            for proc, _out, err in results:
                if proc.returncode != 0 and b"busy" not in err and b"changed on disk" not in err:
                    problems.append(f"{pair[0]} run {i}: failed without saying busy: "
                                    f"{err.decode().strip()}")
            for name, text in new.items():
                if name == "p.qwr" and pair[0] == "build":
                    # The build adds the project's properties; the chapter list stays.
                    if not set(text.splitlines()) <= set(after.get(name, b"").splitlines()):
                        problems.append(f"build run {i}: the chapter list was lost")
                elif after.get(name) != text:
                    problems.append(f"{pair[0]} run {i}: {name} is not the saved text")
            if pair[0] == "build" and second.returncode == 0:
                for name, text in clean_pages.items():
                    if after.get(name) != text:
                        problems.append(f"build run {i}: page {name} differs from a clean build")
    return runs, problems


def main():
    mode, cli, source_dir = sys.argv[1:4]
    if mode.startswith("faults") and shutil.which("strace") is None:
        print("SKIP: strace is not installed")
        return 77
    modes = {"faults-save": faults_of(["save"], ["EIO", "ENOSPC"]),
             # A failing stat can still make a build skip the logo or a line of its record
             # of written files without saying so; the save is checked with it.
             "faults-build": faults_of(["build", "--no-compile"], ["ENOSPC"], ["newfstatat"]),
             "faults-tree": faults_of(["tree"], ["ENOSPC"], ["newfstatat"]),
             "kill": kill, "concurrency": concurrency}
    work = Workplace(os.path.abspath(cli), os.path.abspath(source_dir),
                     not mode.startswith("faults"))
    try:
        start = time.monotonic()
        runs, problems = modes[mode](work)
    finally:
        work.close()
    shown = int(os.environ.get("QW_SHOW_PROBLEMS", "40"))
    for p in problems[:shown]:
        print("FAIL:", p)
    if len(problems) > shown:
        print(f"... and {len(problems) - shown} more")
    print(f"{mode}: {runs} runs in {time.monotonic() - start:.1f} s, {len(problems)} problems")
    return 1 if problems or runs == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
