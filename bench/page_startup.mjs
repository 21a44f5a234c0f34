// Times, in headless Chromium, how long the calculator's page takes from
// being opened to showing its first question, and how long a blank page
// takes to open, from file:// both, each in a new tab, the median of
// several runs each, and prints both and their ratio. Uses the Chromium
// and puppeteer-core of the page's test (npm ci in tests/web).
//
// Argument: the page.
import {mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import {pathToFileURL} from 'node:url';

import {launchChromium} from '../tests/web/browsers.mjs';

const RUNS = 25;

const work = mkdtempSync(join(tmpdir(), 'page-bench-'));
const blank = join(work, 'blank.html');
writeFileSync(blank, '<!DOCTYPE html><html lang="en"><title>blank</title></html>\n');
const browser = await launchChromium(join(work, 'profile'));

async function timed(open) {
  const tab = await browser.newPage();
  const start = performance.now();
  await open(tab);
  const time = performance.now() - start;
  await tab.close();
  return time;
}

const page = pathToFileURL(resolve(process.argv[2])).href;
async function openPage(tab) {
  await tab.goto(page, {waitUntil: 'domcontentloaded'});
  await tab.waitForFunction(
    () => document.getElementById('screen').textContent.includes('How many people? '),
    {polling: 'mutation'});
}
async function openBlank(tab) {
  await tab.goto(pathToFileURL(blank).href, {waitUntil: 'load'});
}

// One of each first, as the browser warms up; then the two in turn, so
// that both meet the same load on the machine.
await timed(openPage);
await timed(openBlank);
const pageTimes = [];
const blankTimes = [];
for (let i = 0; i < RUNS; i++) {
  pageTimes.push(await timed(openPage));
  blankTimes.push(await timed(openBlank));
}
const median = (times) => times.sort((a, b) => a - b)[Math.floor(times.length / 2)];
const firstQuestion = median(pageTimes);
const blankPage = median(blankTimes);
await browser.close();
rmSync(work, {recursive: true, force: true});

console.log(`page to its first question: ${firstQuestion.toFixed(1).padStart(8)} ms (median of ${RUNS})`);
console.log(`blank page opened:          ${blankPage.toFixed(1).padStart(8)} ms (median of ${RUNS})`);
console.log(`ratio:                      ${(firstQuestion / blankPage).toFixed(2).padStart(8)}`);
