#!/usr/bin/env python3
"""Per-step cost of the command-line program on synthetic projects of 100 and 506 chapters
of 99 topics (9,900 and 50,094 topics): load, save, build --no-compile, a rebuild after one
edited topic, the tree in each format, beside cat and cp -r of the chapters (with and
without a sync after it) and the plain Python splitter (split_pages.py). Each step runs
three times on a fresh copy of the project; the medians of wall time and of the child's
user CPU are printed, with the user CPU per topic, so that a step that grows faster than
the project shows. User CPU is the figure to compare on a shared machine: wall time
includes waiting for the disk and for other programs. With --instructions each step of
quirew-cli also runs once under callgrind (valgrind), whose count of instructions does not
move with the machine's load: the growth from size to size by that count is exact.

Not a test. Usage:
bench_steps.py BUILD_DIR [WORK_DIR] [--sizes 100,506] [--runs 3] [--instructions]
BUILD_DIR holds cli/quirew-cli and bench/gen_project (a release build is the one to
measure)."""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOPICS_PER_CHAPTER = 99


def run(argv, cwd=None):
    """Wall seconds and the child's user CPU seconds of one command."""
    start = time.monotonic()
    child = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.monotonic() - start
    err = child.stderr.read().decode(errors="replace")
    child.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed ({os.waitstatus_to_exitcode(status)}): {' '.join(argv)}\n{err}")
    return wall, usage.ru_utime


def instructions(argv):
    """The instructions one command executes, counted by callgrind."""
    child = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                            *argv], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    err = child.stderr.decode(errors="replace")
    if child.returncode != 0:
        sys.exit(f"failed under callgrind ({child.returncode}): {' '.join(argv)}\n{err}")
    for line in err.splitlines():
        if "Collected :" in line:
            return int(line.split("Collected :")[1].split()[0])
    sys.exit(f"callgrind printed no count for: {' '.join(argv)}\n{err}")


def folder_bytes(path):
    return sum(os.path.getsize(os.path.join(d, f)) for d, _, files in os.walk(path) for f in files)


def chapter_files(project_dir):
    return sorted(os.path.join(d, f) for d, _, files in os.walk(project_dir)
                  for f in files if f.startswith("chapter") and f.endswith(".htm"))


def edit_one_topic(project_dir):
    """Changes one text line of one topic in the middle of the project."""
    chapters = chapter_files(project_dir)
    path = chapters[len(chapters) // 2]
    with open(path, "rb") as f:
        text = f.read()
    at = text.index(b"<p>Line 3 of")
    with open(path, "wb") as f:
        f.write(text[:at] + b"<p>Edited. " + text[at + 3:])


class Bench:
    def __init__(self, cli, gen, work, runs, count_instructions=False):
        self.cli, self.gen, self.work, self.runs = cli, gen, work, runs
        self.count_instructions = count_instructions
        self.rows = []
        self.counts = {}  # (topics, step) -> instructions

    def fresh(self, master, name):
        copy = os.path.join(self.work, name)
        shutil.rmtree(copy, ignore_errors=True)
        shutil.copytree(master, copy, symlinks=True)
        return copy

    def step(self, label, topics, prepare, argv_of, extra=""):
        """Runs prepare() (untimed, returns a folder) then the command, runs times."""
        walls, cpus = [], []
        for _ in range(self.runs):
            folder = prepare()
            subprocess.run(["sync"])
            wall, cpu = run(argv_of(folder))
            walls.append(wall)
            cpus.append(cpu)
        wall, cpu = statistics.median(walls), statistics.median(cpus)
        self.rows.append((topics, label, wall, cpu, cpu / topics * 1e6, extra))
        print(f"{topics:>7} {label:<28} {wall:8.3f} {cpu:8.3f} {cpu / topics * 1e6:9.2f}  {extra}",
              flush=True)
        if self.count_instructions and argv_of(folder)[0] == self.cli:
            folder = prepare()
            count = instructions(argv_of(folder))
            self.counts[(topics, label)] = count
            print(f"{'':>7} {'':<28} {count / 1e6:.0f} M instructions, "
                  f"{count / topics:.0f} per topic", flush=True)
        return folder

    def size(self, chapters):
        topics = chapters * TOPICS_PER_CHAPTER
        master = os.path.join(self.work, f"master-{chapters}")
        shutil.rmtree(master, ignore_errors=True)
        subprocess.run([self.gen, master, str(chapters), str(TOPICS_PER_CHAPTER)], check=True,
                       stdout=subprocess.DEVNULL)
        qwr = "synthetic.qwr"
        files = chapter_files(master)
        mb = folder_bytes(master) / 1e6
        self.step("cat chapters", topics, lambda: master, lambda d: ["cat", *files],
                  f"{mb:.1f} MB")
        self.step("cp -r chapters", topics,
                  lambda: (shutil.rmtree(os.path.join(self.work, "cp"), ignore_errors=True),
                           master)[1],
                  lambda d: ["cp", "-r", d, os.path.join(self.work, "cp")])
        # The save makes every new file durable before it replaces a chapter; cp -r leaves
        # its files in the page cache. This row shows what the durability alone costs.
        self.step("cp -r chapters + sync", topics,
                  lambda: (shutil.rmtree(os.path.join(self.work, "cp"), ignore_errors=True),
                           master)[1],
                  lambda d: ["sh", "-c", 'cp -r "$0" "$1" && sync', d,
                             os.path.join(self.work, "cp")])
        self.step("load (check)", topics, lambda: master,
                  lambda d: [self.cli, "check", os.path.join(d, qwr)])
        self.step("save (every chapter new)", topics, lambda: self.fresh(master, "save"),
                  lambda d: [self.cli, "save", os.path.join(d, qwr)])

        def saved():
            # Two saves first: then every backup holds its chapter's present text.
            d = self.fresh(master, "save")
            run([self.cli, "save", os.path.join(d, qwr)])
            run([self.cli, "save", os.path.join(d, qwr)])
            edit_one_topic(d)
            return d
        self.step("save after one edit", topics, saved,
                  lambda d: [self.cli, "save", os.path.join(d, qwr)])
        self.step("python splitter", topics, lambda: self.fresh(master, "py"),
                  lambda d: [sys.executable, os.path.join(HERE, "split_pages.py"),
                             os.path.join(d, qwr)])
        self.step("build --no-compile", topics, lambda: self.fresh(master, "build"),
                  lambda d: [self.cli, "build", os.path.join(d, qwr), "--no-compile"])

        def built():
            d = self.fresh(master, "build")
            run([self.cli, "build", os.path.join(d, qwr), "--no-compile"])
            edit_one_topic(d)
            return d
        self.step("rebuild after one edit", topics, built,
                  lambda d: [self.cli, "build", os.path.join(d, qwr), "--no-compile"])
        for fmt in ("standard", "applet", "script"):
            d = self.step(f"tree {fmt}", topics, lambda: self.fresh(master, "tree"),
                          lambda d, f=fmt: [self.cli, "tree", os.path.join(d, qwr),
                                            "--format", f])
            tree = os.path.join(d, "treehtml")
            size = folder_bytes(tree) / 1e6 if os.path.isdir(tree) else 0.0
            self.rows[-1] = self.rows[-1][:5] + (f"tree folder {size:.1f} MB",)
            print(f"{'':>7} {'':<28} tree folder {size:.1f} MB", flush=True)
        for name in ("save", "build", "py", "tree", "cp", master):
            shutil.rmtree(os.path.join(self.work, name), ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir")
    parser.add_argument("work_dir", nargs="?")
    parser.add_argument("--sizes", default="100,506", help="chapters of 99 topics, by commas")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--instructions", action="store_true",
                        help="also count each step's instructions under callgrind")
    args = parser.parse_args()
    if args.instructions and shutil.which("valgrind") is None:
        sys.exit("--instructions needs valgrind")
    cli = os.path.join(args.build_dir, "cli", "quirew-cli")
    gen = os.path.join(args.build_dir, "bench", "gen_project")
    work = args.work_dir or tempfile.mkdtemp(prefix="qw-bench-steps-")
    os.makedirs(work, exist_ok=True)
    bench = Bench(cli, gen, work, args.runs, args.instructions)
    print(f"medians of {args.runs} runs; user CPU of the child process only")
    print(f"{'topics':>7} {'step':<28} {'wall s':>8} {'user s':>8} {'user us/topic':>9}")
    for chapters in (int(c) for c in args.sizes.split(",")):
        bench.size(chapters)
    # Growth: user CPU per topic of every step, smallest against largest size.
    sizes = sorted({r[0] for r in bench.rows})
    if len(sizes) > 1:
        print(f"\nper-topic user CPU, {sizes[-1]} against {sizes[0]} topics:")
        small = {r[1]: r[4] for r in bench.rows if r[0] == sizes[0]}
        for r in bench.rows:
            if r[0] == sizes[-1] and small.get(r[1]):
                print(f"  {r[1]:<28} {r[4] / small[r[1]]:6.2f}x")
        if bench.counts:
            print(f"\nper-topic instructions, {sizes[-1]} against {sizes[0]} topics:")
            for (topics, label), count in bench.counts.items():
                if topics == sizes[-1] and (sizes[0], label) in bench.counts:
                    small_count = bench.counts[(sizes[0], label)] / sizes[0]
                    print(f"  {label:<28} {count / topics / small_count:6.2f}x")
    for size in sizes:
        of = {r[1]: r for r in bench.rows if r[0] == size}
        print(f"\nat {size} topics:")
        if "python splitter" in of:
            print(f"  build --no-compile user CPU / python splitter's: "
                  f"{of['build --no-compile'][3] / of['python splitter'][3]:.2f}")
        for save in ("save (every chapter new)", "save after one edit"):
            print(f"  {save} wall / cp -r wall: "
                  f"{of[save][2] / of['cp -r chapters'][2]:.2f}"
                  f" (/ cp -r + sync: {of[save][2] / of['cp -r chapters + sync'][2]:.2f})")
    shutil.rmtree(work, ignore_errors=True) if not args.work_dir else None


if __name__ == "__main__":
    main()
