// The browser document with its contents tree, in each of the three formats, on the
// sample project: the frame set loads, chapters open, topics load into the right-hand
// frame, every link and image of the tree resolves, and no script fails.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync, existsSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { launchBrowser, openPage, copySample, runCli } from './harness.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser?.close(); });

function makeTree(format, edit) {
  const dir = copySample();
  if (edit) edit(dir);
  const index = runCli(['tree', path.join(dir, 'sample.qwr'), '--format', format]).trim();
  assert.equal(index, path.join(dir, 'index.htm'));
  return { dir, index };
}

/// Every src and href written into the tree's own files, resolved against each file.
function staticLinks(dir) {
  const files = [path.join(dir, 'index.htm')];
  for (const name of readdirSync(path.join(dir, 'treehtml'))) {
    if (name.endsWith('.htm')) files.push(path.join(dir, 'treehtml', name));
  }
  const links = [];
  for (const file of files) {
    const text = readFileSync(file, 'latin1');
    for (const m of text.matchAll(/\b(?:src|href)\s*=\s*"([^"]*)"/gi)) {
      links.push({ file, url: new URL(m[1], pathToFileURL(file)).href });
    }
  }
  return links;
}

function assertResolves(links) {
  const broken = links.filter(({ url }) => url.startsWith('file:') &&
    !existsSync(fileURLToPath(url.split('#')[0])));
  assert.deepEqual(broken, [], 'links to missing files');
}

async function treeFrame(page) {
  for (let i = 0; i < 50; i++) {
    const frame = page.frames().find((f) => /(unexpand|contents)\.htm$/.test(f.url()));
    if (frame) { await frame.waitForLoadState('load'); return frame; }
    await page.waitForTimeout(100);
  }
  throw new Error('no contents frame');
}

const topicFrame = (page) => page.frame({ name: 'frmtopic' });

async function frameEndingWith(page, suffix) {
  for (let i = 0; i < 100; i++) {
    const frame = page.frames().find((f) => f.url().endsWith(suffix));
    if (frame) { await frame.waitForLoadState('load'); return frame; }
    await page.waitForTimeout(50);
  }
  throw new Error(`no frame shows ${suffix}`);
}

/// The links and images the browser sees in a frame (the script trees build them).
async function liveLinks(frame) {
  const found = await frame.evaluate(async () => {
    // Images the script has just swapped in may still be loading: wait until each has
    // loaded or failed, then count the failed ones.
    await Promise.all([...document.images].map((i) => i.complete ? null
      : new Promise((done) => { i.addEventListener('load', done); i.addEventListener('error', done); })));
    return {
      urls: [...document.querySelectorAll('img[src]')].map((i) => i.src)
        .concat([...document.querySelectorAll('a[href]')].map((a) => a.href))
        .concat([...document.querySelectorAll('script[src], link[href]')].map((e) => e.src || e.href)),
      broken: [...document.images].filter((i) => i.naturalWidth === 0).map((i) => i.src),
    };
  });
  assert.deepEqual(found.broken, [], 'images that did not load');
  return found.urls.filter((u) => !u.endsWith('#')).map((url) => ({ file: frame.url(), url }));
}

async function clickTopicAndCheck(page, frame, title, pageName) {
  await frame.getByText(title, { exact: true }).click();
  assert.equal(await frameEndingWith(page, pageName), topicFrame(page));
  const heading = await topicFrame(page).locator('h1').first().textContent();
  assert.ok(heading.length > 0);
}

test('standard tree: chapters open, topics load, links resolve', async () => {
  const { dir, index } = makeTree('standard');
  assertResolves(staticLinks(dir));
  const { page, errors } = await openPage(browser, pathToFileURL(index).href);
  let frame = await treeFrame(page);
  assert.match(topicFrame(page).url(), /welcome\.htm$/);
  assertResolves(await liveLinks(frame));
  await frame.getByText('Using\u00a0Tidewater\u00a0Notes', { exact: true }).click();
  frame = await frameEndingWith(page, 'fol_using.htm');
  assertResolves(await liveLinks(frame));
  await clickTopicAndCheck(page, frame, 'Notebooks', 'notebooks.htm');
  assert.deepEqual(errors, []);
});

for (const format of ['script', 'applet']) {
  test(`${format} tree: chapters open, topics load, links resolve`, async () => {
    const { dir, index } = makeTree(format);
    assertResolves(staticLinks(dir));
    const { page, errors } = await openPage(browser, pathToFileURL(index).href);
    const frame = await treeFrame(page);
    await frame.waitForSelector('.qw-chapter');
    const topic = frame.getByText('Notebooks', { exact: true });
    assert.equal(await topic.isVisible(), false);
    await frame.getByText('Using Tidewater Notes', { exact: true }).click();
    assert.equal(await topic.isVisible(), true);
    assertResolves(await liveLinks(frame));
    await clickTopicAndCheck(page, frame, 'Notebooks', 'notebooks.htm');
    // The tree marks the page shown when it notices the right-hand frame changed.
    await frame.waitForFunction(() =>
      document.querySelector('.qw-current')?.textContent === 'Notebooks', null, { timeout: 10000 });
    // The mark follows a page opened from inside the right-hand frame.
    await topicFrame(page).getByText('Next Page').click();
    await frameEndingWith(page, 'stations.htm');
    await frame.waitForFunction(() =>
      document.querySelector('.qw-current')?.textContent === 'Stations and tides');
    await frame.getByText('Using Tidewater Notes', { exact: true }).click();
    assert.equal(await topic.isVisible(), false);
    assert.deepEqual(errors, []);
  });
}

// A title and hint with quotes, an apostrophe entity, a backslash and "<" keep the tree's
// scripts and status texts working: the hint shows as the plain text it is, and the
// title's HTML still renders.
for (const format of ['standard', 'script']) {
  test(`${format} tree: awkward titles and hints break no script`, async () => {
    const hint = 'Say "hi" &#39;now&#39; <go> \\ back';
    const { index } = makeTree(format, (dir) => {
      const file = path.join(dir, 'intro.htm');
      const text = readFileSync(file, 'latin1')
        .replace("Title='Installing#System requirements and setup'",
          `Title='Installing <i>now</i>#${hint}'`);
      writeFileSync(file, text, 'latin1');
    });
    const { page, errors } = await openPage(browser, pathToFileURL(index).href);
    let frame = await treeFrame(page);
    if (format === 'standard') {
      await frame.getByText('Introduction', { exact: true }).click();
      frame = await frameEndingWith(page, 'fol_intro.htm');
    } else {
      await frame.waitForSelector('.qw-chapter');
      await frame.getByText('Introduction', { exact: true }).click();
    }
    const link = frame.locator('a', { hasText: 'Installing' });
    assert.equal(await link.locator('i').textContent(), 'now');
    await link.hover();
    const shown = await frame.evaluate(() => window.status);
    assert.equal(shown, hint);
    assert.deepEqual(errors, []);
  });
}
