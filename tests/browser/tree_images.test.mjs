// The tree's images and the icon strip are drawn by imagegen/imagegen.py: running it
// again gives the checked-in files byte for byte, and every image has the size the
// pages and the grid expect. Needs python3 but no browser.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { repoRoot } from './harness.mjs';

const sets = ['Folders', 'Books', 'OS2', 'Mac', 'Arrows1', 'Arrows2', 'Plus1'];
const treeImages = ['branch_i', 'branch_l', 'branch_t', 'plus', 'minus', 'fol_open', 'fol_clos',
  'treetop', 'aboutqwr'].map((n) => `${n}.gif`);

function gifSize(file) {
  const b = readFileSync(file);
  assert.equal(b.subarray(0, 6).toString('latin1'), 'GIF89a', file);
  return [b.readUInt16LE(6), b.readUInt16LE(8)];
}

function generatedFiles() {
  const files = ['data/quirew.gif', 'data/deficons.bmp', 'examples/sample/images/paper.gif'];
  for (let i = 0; i < 42; i++) files.push(`data/Icons/Items/icon_${i}.gif`);
  for (const set of sets) for (const image of treeImages) files.push(`data/Icons/${set}/${image}`);
  return files;
}

test('the generator reproduces every checked-in image', () => {
  const out = mkdtempSync(path.join(tmpdir(), 'qw-images-'));
  try {
    const r = spawnSync('python3', [path.join(repoRoot, 'imagegen', 'imagegen.py'), out],
      { encoding: 'utf8' });
    assert.equal(r.status, 0, r.stderr);
    for (const file of generatedFiles()) {
      assert.ok(readFileSync(path.join(out, file)).equals(readFileSync(path.join(repoRoot, file))),
        `${file} differs from a fresh drawing`);
    }
  } finally {
    rmSync(out, { recursive: true, force: true });
  }
});

test('images have the sizes the pages and the grid expect', () => {
  assert.deepEqual(gifSize(path.join(repoRoot, 'data/quirew.gif')), [329, 91]);
  for (const set of sets) {
    const names = readdirSync(path.join(repoRoot, 'data/Icons', set)).sort();
    assert.deepEqual(names, [...treeImages].sort(), set);
    for (const image of treeImages) {
      assert.deepEqual(gifSize(path.join(repoRoot, 'data/Icons', set, image)), [19, 18]);
    }
  }
  assert.equal(readdirSync(path.join(repoRoot, 'data/Icons/Items')).length, 42);
  const bmp = readFileSync(path.join(repoRoot, 'data/deficons.bmp'));
  assert.equal(bmp.subarray(0, 2).toString('latin1'), 'BM');
  assert.deepEqual([bmp.readInt32LE(18), bmp.readInt32LE(22)], [672, 16]);
  // The 42 cells of the strip are 42 different drawings.
  const stride = (672 + 3) & ~3;
  const pixels = bmp.subarray(bmp.readUInt32LE(10));
  const cells = new Set();
  for (let c = 0; c < 42; c++) {
    let cell = '';
    for (let y = 0; y < 16; y++) cell += pixels.subarray(y * stride + c * 16, y * stride + c * 16 + 16).toString('hex');
    cells.add(cell);
  }
  assert.equal(cells.size, 42);
});
