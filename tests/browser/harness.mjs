// Shared helpers for the browser tests: starts headless Chromium, opens a generated
// page, and collects console errors and uncaught exceptions so tests can assert on them.
import { chromium } from 'playwright-core';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, cpSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const repoRoot = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
/// The build tree whose quirew-cli the tests run (QW_BUILD_DIR, default build/).
export const buildDir = process.env.QW_BUILD_DIR || path.join(repoRoot, 'build');
export const cli = path.join(buildDir, 'cli', 'quirew-cli');

export async function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run',
      '--allow-file-access-from-files'],
  });
}

/// Opens url in a new page; returns {page, errors} where errors collects every console
/// error and uncaught exception for the page's life. beforeLoad(page), when given, runs
/// before the page is loaded (to install a fake clock, for example).
export async function openPage(browser, url, beforeLoad) {
  const page = await browser.newPage();
  const errors = [];
  page.on('console', (msg) => { if (msg.type() === 'error') errors.push(msg.text()); });
  page.on('pageerror', (err) => errors.push(String(err)));
  if (beforeLoad) await beforeLoad(page);
  await page.goto(url);
  return { page, errors };
}

/// Copies the sample project into a fresh temporary folder and returns the copy's path.
export function copySample() {
  const dir = mkdtempSync(path.join(tmpdir(), 'qw-browser-'));
  cpSync(path.join(repoRoot, 'examples', 'sample'), dir, { recursive: true });
  return dir;
}

/// Runs quirew-cli with args; throws with its output when it fails.
export function runCli(args) {
  const r = spawnSync(cli, args, { encoding: 'utf8' });
  if (r.status !== 0) {
    throw new Error(`quirew-cli ${args.join(' ')} failed (${r.status}):\n${r.stdout}\n${r.stderr}`);
  }
  return r.stdout;
}
