// Special effects inside the compiled document: the sample is built with the real compiler,
// the .chm is unpacked with chmlib's extract_chmLib (as a CHM viewer that runs script sees
// it), and the effects that need files of their own are tried on the unpacked pages.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { appendFileSync, existsSync, mkdtempSync } from 'node:fs';
import { spawnSync } from 'node:child_process';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchBrowser, openPage, copySample, runCli } from './harness.mjs';

let browser;
let unpacked;

before(async () => {
  const project = copySample();
  // The compiler packs what pages name in src and href; the pop-up text file, which the
  // script loads, and the bitmap of a shortcut button are listed as additional files.
  appendFileSync(path.join(project, 'sample.qwr'), 'AdditonalFiles=TxPopups.js,images/fxrun.png\r\n');
  runCli(['build', path.join(project, 'sample.qwr')]);
  const chm = path.join(project, 'sample.chm');
  assert.ok(existsSync(chm), 'the build wrote sample.chm');
  unpacked = mkdtempSync(path.join(tmpdir(), 'qw-chm-'));
  const r = spawnSync('extract_chmLib', [chm, unpacked], { encoding: 'utf8' });
  assert.equal(r.status, 0, r.stderr);
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
});

async function open(name) {
  const opened = await openPage(browser, pathToFileURL(path.join(unpacked, name)).href);
  await opened.page.waitForLoadState('load');
  return opened;
}

test('the compiled document holds the script, the pop-up texts and the effect images', () => {
  for (const file of ['quirew.js', 'TxPopups.js', 'images/fxsplash.png', 'images/fxwaves.png',
    'images/fxrun.png', 'fxtour.htm', 'fxpopups.htm'])
    assert.ok(existsSync(path.join(unpacked, file)), `${file} is in the .chm`);
});

test('pop-up texts, block image and shortcut face work from the compiled pages', async () => {
  let opened = await open('fxpopups.htm');
  await opened.page.getByRole('link', { name: 'ebb tide' }).click();
  assert.match(await opened.page.locator('.qwPopupBox').innerText(), /The falling tide/);
  assert.deepEqual(opened.errors, []);
  await opened.page.close();

  opened = await open('fxblocks.htm');
  const image = await opened.page.locator('.qwBlockImage').evaluate((el) => getComputedStyle(el).backgroundImage);
  assert.match(image, /images\/fxwaves\.png/);
  opened.page.on('requestfailed', (r) => opened.errors.push(`failed: ${r.url()}`));
  await opened.page.goto(pathToFileURL(path.join(unpacked, 'fxwindows.htm')).href);
  const face = opened.page.locator('.qwShortcutButton img');
  await face.waitFor();
  assert.ok(await face.evaluate((img) => img.complete && img.naturalWidth > 0), 'the bitmap face loads');
  assert.deepEqual(opened.errors, []);
  await opened.page.close();
});

test('the related-topics menu of a compiled page leads to the other compiled pages', async () => {
  const opened = await open('fxtour.htm');
  const { page } = opened;
  await page.getByRole('button', { name: 'Related Topics' }).click();
  assert.deepEqual(await page.locator('.qwRelatedMenu').getByRole('menuitem').allInnerTexts(),
    ['Pop-up words', 'Hidden details', 'Quick tour']);
  await page.getByRole('menuitem', { name: 'Quick tour' }).click();
  await page.waitForURL(/\/tour\.htm$/);
  assert.equal(await page.title(), 'Quick tour');
  assert.deepEqual(opened.errors, []);
  await page.close();
});
