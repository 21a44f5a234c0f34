// Times, in headless Chromium, how long the calculator's page takes from
// being opened to showing its first question, beside the C reference in a
// page of the same design and a blank page; the three in turn, each in a
// new tab, after a few rounds that are not timed. Twice: from file://, as
// on a desktop; then served on 127.0.0.1, compressed as a host serves it,
// each visit a first visit, with the processor slowed 4 times and Chrome's
// "Slow 4G" network, as on a phone. Prints each median with its minimum
// and maximum, the main thread's processor time in the served run, and
// the calculator's ratio to the C reference there. Uses the Chromium and
// puppeteer-core of the page's test (npm ci in tests/web).
//
// Arguments: the calculator's web folder as installed, the reference page.
import {mkdtempSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import {pathToFileURL} from 'node:url';

import {launchChromium, PredefinedNetworkConditions} from '../tests/web/browsers.mjs';
import {serve} from '../tests/web/static_host.mjs';

const WARM_UP = 3;
const FILE_ROUNDS = 25;
const SERVED_ROUNDS = 11;
const CPU_SLOWDOWN = 4;
const NETWORK = PredefinedNetworkConditions['Slow 4G'];
const QUESTION = 'How many people? ';
const BLANK = '<!DOCTYPE html><html lang="en"><title>blank</title></html>\n';

const [siteDir, referencePage] = process.argv.slice(2).map((path) => resolve(path));
const work = mkdtempSync(join(tmpdir(), 'page-bench-'));

const address = (server) => `http://127.0.0.1:${server.address().port}/`;
const servers = await Promise.all([null, readFileSync(referencePage), Buffer.from(BLANK)]
  .map((page) => serve(siteDir, {page, gzip: true})));
const blankFile = join(work, 'blank.html');
writeFileSync(blankFile, BLANK);
const browser = await launchChromium(join(work, 'profile'));

// Opens `url` in a new tab of a context of its own, with nothing kept
// from an earlier visit, and gives, in milliseconds from the start of the
// navigation as the page itself counts it, when it showed its first
// question (or for a blank page, when it had loaded), and the main
// thread's processor time by then.
async function visit(url, asks, slowed) {
  const context = await browser.createBrowserContext();
  const tab = await context.newPage();
  if (slowed) {
    await tab.emulateCPUThrottling(CPU_SLOWDOWN);
    await tab.emulateNetworkConditions(NETWORK);
  }
  await tab.evaluateOnNewDocument((question) => {
    new MutationObserver((changes, observer) => {
      const screen = document.getElementById('screen');
      if (screen && screen.textContent.includes(question)) {
        window.firstQuestion = performance.now();
        observer.disconnect();
      }
    }).observe(document, {childList: true, subtree: true, characterData: true});
  }, QUESTION);
  await tab.goto(url, {waitUntil: 'load', timeout: 60000});
  const time = asks ?
    await (await tab.waitForFunction(() => window.firstQuestion, {timeout: 60000})).jsonValue() :
    await tab.evaluate(() => performance.getEntriesByType('navigation')[0].loadEventEnd);
  const {TaskDuration} = await tab.metrics();
  await context.close();
  return {time, cpu: TaskDuration * 1000};
}

// The three in turn, round after round, so that all meet the same load on
// the machine; the first rounds only warm the browser up.
async function measure(pages, rounds, slowed) {
  const results = pages.map(() => []);
  for (let round = -WARM_UP; round < rounds; round++) {
    for (const [i, page] of pages.entries()) {
      const result = await visit(page.url, page.asks, slowed);
      if (round >= 0) {
        results[i].push(result);
      }
    }
  }
  return results;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const spread = (values) => `${median(values).toFixed(0).padStart(5)} ms ` +
    `(${Math.min(...values).toFixed(0)} to ${Math.max(...values).toFixed(0)})`;

function report(title, pages, results, withCpu) {
  console.log(title);
  pages.forEach((page, i) => {
    const times = results[i].map((result) => result.time);
    const cpu = withCpu ? `, main thread ${spread(results[i].map((result) => result.cpu))}` : '';
    console.log(`  ${page.name.padEnd(28)} ${spread(times)}${cpu}`);
  });
}

const names = ['calculator, first question', 'C reference, first question', 'blank page, loaded'];
const fromFiles = [join(siteDir, 'index.html'), referencePage, blankFile]
  .map((path, i) => ({name: names[i], url: pathToFileURL(path).href, asks: i < 2}));
report(`From file://, unthrottled, medians of ${FILE_ROUNDS}:`, fromFiles,
       await measure(fromFiles, FILE_ROUNDS, false), false);

const served = servers.map((server, i) => ({name: names[i], url: address(server), asks: i < 2}));
const results = await measure(served, SERVED_ROUNDS, true);
report(`Served on 127.0.0.1, processor ${CPU_SLOWDOWN} times slower, Slow 4G, ` +
       `medians of ${SERVED_ROUNDS}:`, served, results, true);
const [calculator, reference, blank] = results.map((timed) => median(timed.map((result) => result.time)));
console.log(`  calculator to blank page: ${(calculator / blank).toFixed(2)}, ` +
            `C reference to blank page: ${(reference / blank).toFixed(2)}`);
console.log(`ratio to the C reference page: ${(calculator / reference).toFixed(2)}`);

await browser.close();
servers.forEach((server) => server.close());
rmSync(work, {recursive: true, force: true});
