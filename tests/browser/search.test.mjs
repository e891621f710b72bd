// Search in the browser document from file:// with no server: the sample and a project of
// 100 chapters of 99 topics with one chapter of accented and Chinese text. Results open
// the right page with the words marked; the first answer's time is recorded. Then the
// sample's pages on a phone: text of at least 14 CSS pixels, no sideways scrolling, and
// the contents frame folds away after a topic is chosen.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, mkdirSync, readFileSync, writeFileSync, statSync, readdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { devices } from 'playwright-core';
import { launchBrowser, openPage, copySample, runCli } from './harness.mjs';

// The first answer for 9,900 topics, index loading included, should come within 100 ms.
// Measured at 60 to 80 ms on most runs on a machine shared by several builds, and up to
// 200 ms while it was busiest, so the test fails only beyond that bound and prints the
// figure against the target.
const FIRST_ANSWER_TARGET_MS = 100;
const FIRST_ANSWER_LIMIT_MS = 250;

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser?.close(); });

function makeTree(dir, project, format) {
  const index = runCli(['tree', path.join(dir, project), '--format', format]).trim();
  assert.equal(index, path.join(dir, 'index.htm'));
  return index;
}

async function treeFrame(page) {
  for (let i = 0; i < 100; i++) {
    const frame = page.frames().find((f) => /(unexpand|contents)\.htm$/.test(f.url()));
    if (frame) { await frame.waitForLoadState('load'); return frame; }
    await page.waitForTimeout(50);
  }
  throw new Error('no contents frame');
}

async function topicFrameShowing(page, name) {
  for (let i = 0; i < 200; i++) {
    const frame = page.frame({ name: 'frmtopic' });
    if (frame && new URL(frame.url()).pathname.endsWith('/' + name)) {
      await frame.waitForLoadState('load');
      return frame;
    }
    await page.waitForTimeout(50);
  }
  throw new Error(`the topic frame does not show ${name}`);
}

/// Types query into the search box; returns the titles of the results shown.
async function search(frame, query) {
  await frame.fill('#qw-search-input', query);
  await frame.press('#qw-search-input', 'Enter');
  await frame.waitForFunction(() => document.querySelector('.qw-results')?.childElementCount > 0);
  return frame.$$eval('.qw-hit > a', (links) => links.map((a) => a.textContent));
}

/// Clicks the result titled title and returns the marked words of the page it opens.
async function openResult(page, frame, title, pageName) {
  await frame.locator('.qw-hit > a', { hasText: title }).first().click();
  const topic = await topicFrameShowing(page, pageName);
  assert.match(topic.url(), /\?qwfind=/);
  await topic.waitForSelector('mark.qw-found');
  return topic.$$eval('mark.qw-found', (marks) => marks.map((m) => m.textContent));
}

for (const format of ['standard', 'script']) {
  test(`${format} tree of the sample: a word of the page text finds its page`, async () => {
    const dir = copySample();
    const index = makeTree(dir, 'sample.qwr', format);
    const { page, errors } = await openPage(browser, pathToFileURL(index).href);
    const frame = await treeFrame(page);
    // "metres" stands only in the text of "Stations and tides", not in any title.
    assert.deepEqual(await search(frame, 'Metres'), ['Stations and tides']);
    const snippet = await frame.locator('.qw-snippet mark').first().textContent();
    assert.equal(snippet, 'metres');
    assert.deepEqual(await openResult(page, frame, 'Stations and tides', 'stations.htm'), ['metres']);
    if (format === 'script') {
      // The tree marks the page opened from the result as the page shown.
      await frame.waitForFunction(() =>
        document.querySelector('.qw-current')?.textContent === 'Stations and tides', null, { timeout: 10000 });
    }
    // Title hits rank before pages that only mention the word.
    const tide = await search(frame, 'tide');
    assert.ok(tide.length >= 2, tide.join(', '));
    assert.match(tide[0], /tide/i);
    // Nothing found is said so; the page kept out of the contents is not offered.
    await frame.fill('#qw-search-input', 'translators');
    await frame.waitForFunction(() => /No page/.test(document.querySelector('.qw-results').textContent));
    assert.deepEqual(errors, []);
  });
}

/// The project of the benchmarks (bench/synthetic_project.h): chapters x topics, each
/// topic with its metadata and twenty lines of text; every tenth chapter in the project
/// folder, the others in folders part1 to part9.
function writeSyntheticProject(dir, chapters, topics) {
  const sep = '-'.repeat(50);
  let qwr = `[CHAPTER_FILES]\r\nNumOfChapters=${chapters}\r\n`;
  for (let c = 0; c < chapters; c++) {
    const sub = c % 10 === 0 ? '' : `part${c % 10}/`;
    const name = `${sub}chapter${c}.htm`;
    qwr += `ChapterTitle${c}=Chapter ${c}\r\nChapterFileName${c}=${name.replace('/', '\\')}\r\n`;
    const parts = ['<html>\r\n<head>\r\n<title>_Title_</title>\r\n</head>\r\n' +
      '<body bgcolor="#FFFFFF" background="_BgImage_">\r\n\r\n'];
    for (let t = 0; t < topics; t++) {
      const id = `${c}_${t}`;
      parts.push(`${sep}<font size="-2"><br>\r\nTitle='Topic ${id}#Hint for topic ${id}' ` +
        `<br>KeyWords='alpha, beta${id} ' <!-- FileName='c${id}.htm' - Icon='${t % 42}' - ` +
        `BgImage='' - BgColour='$FFFFFF' - Related='Topic 0;c${c}_0.htm'--> \r\n` +
        `<br></font>${sep}\r\n<h1>Topic ${id}</h1>\r\n`);
      for (let l = 1; l < 20; l++) {
        parts.push(`<p>Line ${l} of this topic describes the <b>tide tables</b> &amp; the ` +
          'station list in some detail, with a <a href="c0_1.htm">link</a> here.</p>\r\n');
      }
    }
    parts.push('</body>\r\n</html>\r\n');
    mkdirSync(path.dirname(path.join(dir, name)), { recursive: true });
    writeFileSync(path.join(dir, name), parts.join(''));
  }
  qwr += '[PROJECT_PROPERTIES]\r\nTitleBarText=Synthetic manual\r\nDefaultPage=c0_0.htm\r\n';
  writeFileSync(path.join(dir, 'synthetic.qwr'), qwr);
}

/// The synthetic project of 100 x 99 topics plus a chapter with accented and Chinese text.
function makeLargeProject() {
  const dir = mkdtempSync(path.join(tmpdir(), 'qw-search-'));
  writeSyntheticProject(dir, 100, 99);
  const sep = '-'.repeat(50);
  const topic = (title, file, body) =>
    `${sep}<font size="-2"><br>\r\nTitle='${title}' <br>KeyWords='' <!-- FileName='${file}' - ` +
    `Icon='1' - BgImage='' - BgColour='$FFFFFF' - Related=''--> \r\n<br></font>${sep}\r\n${body}\r\n`;
  const chapter = '<html>\r\n<head>\r\n<meta http-equiv="Content-Type" content="text/html; ' +
    'charset=utf-8">\r\n<title>_Title_</title>\r\n</head>\r\n<body>\r\n' +
    topic('Travel notes', 'travel.htm', '<h1>Travel notes</h1>\r\n<p>Crème brûlée à Genève, ' +
      'then the ferry to Zanzibar.</p>') +
    topic('用户手册', 'manual_zh.htm', '<h1>用户手册</h1>\r\n<p>这是一个测试文档，说明用户如何使用搜索功能。</p>') +
    '</body>\r\n</html>\r\n';
  writeFileSync(path.join(dir, 'world.htm'), chapter);
  const qwrPath = path.join(dir, 'synthetic.qwr');
  const qwr = readFileSync(qwrPath, 'latin1').replace('NumOfChapters=100',
    'NumOfChapters=101\r\nChapterTitle100=World\r\nChapterFileName100=world.htm');
  writeFileSync(qwrPath, qwr, 'latin1');
  return dir;
}

test('9,900 topics: page text, a word typed without its accents and Chinese', async () => {
  const dir = makeLargeProject();
  const started = Date.now();
  const index = makeTree(dir, 'synthetic.qwr', 'standard');
  const generation = Date.now() - started;
  const pagesBytes = readdirSync(dir, { recursive: true })
    .filter((f) => /^c\d+_\d+\.htm$/.test(path.basename(f)))
    .reduce((sum, f) => sum + statSync(path.join(dir, f)).size, 0);
  const indexBytes = statSync(path.join(dir, 'treehtml', 'qwsearchidx.js')).size;
  console.log(`# tree of 9,902 topics: ${generation} ms; index ${indexBytes} bytes = ` +
    `${(100 * indexBytes / pagesBytes).toFixed(1)} % of the pages' ${pagesBytes} bytes`);
  assert.ok(indexBytes <= 0.35 * pagesBytes, 'the index is at most 35 % of the pages');

  // The first answer, counted from the moment the box takes the focus (when the index
  // starts loading): the best of three fresh loads, as the machine may be busy.
  const answers = [];
  for (let i = 0; i < 3; i++) {
    const fresh = await openPage(browser, pathToFileURL(index).href);
    const tree = await treeFrame(fresh.page);
    assert.deepEqual(await search(tree, 'zanzibar'), ['Travel notes']);
    const timing = await tree.evaluate(() => window.qwSearchTiming);
    answers.push(timing.answered - Math.min(timing.loadStart, timing.queryStart));
    console.log(`# first answer ${answers[i].toFixed(1)} ms (index loaded in ` +
      `${(timing.loaded - timing.loadStart).toFixed(1)} ms, query ${timing.lastQuery.toFixed(1)} ms)`);
    assert.deepEqual(fresh.errors, []);
    await fresh.page.close();
  }
  const best = Math.min(...answers);
  console.log(`# best first answer ${best.toFixed(1)} ms: target of ${FIRST_ANSWER_TARGET_MS} ms ` +
    (best <= FIRST_ANSWER_TARGET_MS ? 'met' : 'missed on this run'));
  assert.ok(best <= FIRST_ANSWER_LIMIT_MS, `first answer in ${best.toFixed(1)} ms`);

  const { page, errors } = await openPage(browser, pathToFileURL(index).href);
  const frame = await treeFrame(page);
  assert.deepEqual(await search(frame, 'zanzibar'), ['Travel notes']);
  assert.deepEqual(await openResult(page, frame, 'Travel notes', 'travel.htm'), ['Zanzibar']);
  // A query over every page.
  const all = await search(frame, 'tide tables');
  const lastQuery = await frame.evaluate(() => window.qwSearchTiming.lastQuery);
  console.log(`# "tide tables", found in 9,900 pages, in ${lastQuery.toFixed(1)} ms`);
  assert.equal(all.length, 50); // the first fifty of 9,900
  assert.match(await frame.locator('.qw-search-note').first().textContent(), /^9900 pages$/);

  assert.deepEqual(await search(frame, 'geneve BRULEE'), ['Travel notes']);
  assert.deepEqual(await openResult(page, frame, 'Travel notes', 'travel.htm'), ['brûlée', 'Genève']);
  assert.deepEqual(await search(frame, '搜索'), ['用户手册']);
  assert.deepEqual(await openResult(page, frame, '用户手册', 'manual_zh.htm'), ['搜索']);
  // A title word ranks its page first among the pages that hold it.
  assert.deepEqual((await search(frame, '用户')).slice(0, 1), ['用户手册']);
  assert.deepEqual(errors, []);
});

test('phone: the sample reads without zooming or sideways scrolling', async () => {
  const dir = copySample();
  const index = makeTree(dir, 'sample.qwr', 'standard');
  const context = await browser.newContext({ ...devices['Pixel 5'] });
  try {
    const pages = readdirSync(dir, { recursive: true })
      .filter((f) => f.endsWith('.htm') && !/^(index|aboutjmp)\.htm$|treehtml/.test(f))
      .filter((f) => /Extracted Using/.test(readFileSync(path.join(dir, f), 'latin1')));
    assert.ok(pages.length >= 8, pages.join(', '));
    for (const name of pages) {
      const page = await context.newPage();
      const errors = [];
      page.on('pageerror', (e) => errors.push(String(e)));
      await page.goto(pathToFileURL(path.join(dir, name)).href);
      const found = await page.evaluate(() => {
        const small = [];
        const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
        for (let n = walker.nextNode(); n; n = walker.nextNode()) {
          if (!n.nodeValue.trim()) continue;
          const el = n.parentElement;
          const style = getComputedStyle(el);
          if (style.display === 'none' || style.visibility === 'hidden') continue;
          const size = parseFloat(style.fontSize);
          if (size < 14) small.push(`${el.tagName} ${size}px "${n.nodeValue.trim().slice(0, 30)}"`);
        }
        return {
          small,
          width: window.innerWidth,
          scrollWidth: document.documentElement.scrollWidth,
        };
      });
      assert.deepEqual(found.small, [], `${name}: text under 14 CSS px`);
      assert.equal(found.width, devices['Pixel 5'].viewport.width, `${name}: laid out at the phone's width`);
      assert.ok(found.scrollWidth <= found.width, `${name}: ${found.scrollWidth}px wide`);
      assert.deepEqual(errors, []);
      await page.close();
    }

    // The frame set: choosing a topic on a narrow screen folds the contents away, and
    // the button in the folded strip brings them back.
    const { page, errors } = await openPage(context, pathToFileURL(index).href);
    const cols = () => page.evaluate(() => document.querySelector('frameset').getAttribute('cols'));
    assert.equal(await cols(), '180px,*');
    const frame = await treeFrame(page);
    await search(frame, 'metres');
    await frame.locator('.qw-hit > a').first().click();
    await page.waitForFunction(() => document.querySelector('frameset').getAttribute('cols') === '40,*');
    await frame.locator('#qw-unfold').click();
    await page.waitForFunction(() => document.querySelector('frameset').getAttribute('cols') === '180px,*');
    await frame.locator('.qw-fold').click();
    await page.waitForFunction(() => document.querySelector('frameset').getAttribute('cols') === '40,*');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('wide screen: lines stop near 90 characters unless the author says otherwise', async () => {
  const dir = copySample();
  makeTree(dir, 'sample.qwr', 'standard');
  const page = await browser.newPage({ viewport: { width: 1920, height: 1000 } });
  try {
    const file = pathToFileURL(path.join(dir, 'stations.htm')).href;
    await page.goto(file);
    const width = await page.evaluate(() => document.body.getBoundingClientRect().width);
    const ch = await page.evaluate(() => {
      const s = document.createElement('span');
      s.textContent = '0'.repeat(100);
      document.body.appendChild(s);
      const w = s.getBoundingClientRect().width / 100;
      s.remove();
      return w;
    });
    assert.ok(width / ch >= 80 && width / ch <= 100, `${(width / ch).toFixed(0)} characters`);
    // An author's own style sheet wins over ours.
    writeFileSync(path.join(dir, 'wide.css'), 'body { max-width: none; }');
    const stations = path.join(dir, 'stations.htm');
    writeFileSync(stations, readFileSync(stations, 'utf8')
      .replace('</title>', '</title><link rel="stylesheet" href="wide.css">'));
    await page.goto(file);
    const free = await page.evaluate(() => document.body.getBoundingClientRect().width);
    assert.ok(free > 1800, `${free}px`);
  } finally {
    await page.close();
  }
});
