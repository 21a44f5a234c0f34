// Times, in headless Chromium, how soon the calculator's page shows its
// first question and how soon its program reads, beside the C reference
// in a page of the same design and a blank page; the three in turn, each
// in a new tab, after a few rounds that are not timed. "Visible" is the
// first frame after the question is in the page: a task queued from the
// frame's requestAnimationFrame, which runs once the frame is painted.
// "Ready" is the program's first read; a blank page's figure is its load.
// From file://, as on a desktop; then served on 127.0.0.1, compressed as a
// host serves it, with the processor slowed 4 times and Chrome's "Slow 4G"
// network, as on a phone: each visit a first visit, then the calculator
// visited again, from its service worker's copy. Prints each median with
// its minimum and maximum, the main thread's processor time when served,
// and the ratios to the blank page's first visit and to the C reference.
// Uses the Chromium and puppeteer-core of the page's test (npm ci in
// tests/web).
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
const servers = await Promise.all(
  [null, readFileSync(referencePage), Buffer.from(BLANK)].map((page) =>
    serve(siteDir, {page, gzip: true}),
  ),
);
const blankFile = join(work, 'blank.html');
writeFileSync(blankFile, BLANK);
const browser = await launchChromium(join(work, 'profile'));

// Opens `url` in a new tab of a context of its own, with nothing kept
// from an earlier visit (or, `again`, after a first visit that its worker
// keeps), and gives, in milliseconds from the start of the navigation as
// the page itself counts it, when it was visible and ready (for a blank
// page, when it had loaded), and the main thread's processor time by then.
async function visit(url, asks, slowed, again = false) {
  const context = await browser.createBrowserContext();
  const tab = await context.newPage();
  if (again) {
    await tab.goto(url, {waitUntil: 'load', timeout: 60000});
    await tab.waitForFunction(() => navigator.serviceWorker.controller !== null, {timeout: 60000});
  }
  if (slowed) {
    await tab.emulateCPUThrottling(CPU_SLOWDOWN);
    await tab.emulateNetworkConditions(NETWORK);
  }
  await tab.evaluateOnNewDocument((question) => {
    new MutationObserver((changes, observer) => {
      const screen = document.getElementById('screen');
      if (window.visible === undefined && screen && screen.textContent.includes(question)) {
        window.visible = null;
        requestAnimationFrame(() =>
          setTimeout(() => {
            window.visible = performance.now();
          }),
        );
      }
      if (document.body && document.body.dataset.waiting === 'yes') {
        window.ready = performance.now();
        observer.disconnect();
      }
    }).observe(document, {childList: true, subtree: true, characterData: true, attributes: true});
  }, QUESTION);
  await tab.goto(url, {waitUntil: 'load', timeout: 60000});
  let times;
  if (asks) {
    await tab.waitForFunction(() => window.visible && window.ready, {timeout: 60000});
    times = await tab.evaluate(() => ({visible: window.visible, ready: window.ready}));
  } else {
    const loaded = await tab.evaluate(
      () => performance.getEntriesByType('navigation')[0].loadEventEnd,
    );
    times = {visible: loaded, ready: loaded};
  }
  const {TaskDuration} = await tab.metrics();
  await context.close();
  return {...times, cpu: TaskDuration * 1000};
}

// The pages in turn, round after round, so that all meet the same load on
// the machine; the first rounds only warm the browser up.
async function measure(pages, rounds, slowed) {
  const results = pages.map(() => []);
  for (let round = -WARM_UP; round < rounds; round++) {
    for (const [i, page] of pages.entries()) {
      const result = await visit(page.url, page.asks, slowed, page.again);
      if (round >= 0) {
        results[i].push(result);
      }
    }
  }
  return results;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const spread = (values) =>
  `${median(values).toFixed(0).padStart(5)} ms ` +
  `(${Math.min(...values).toFixed(0)} to ${Math.max(...values).toFixed(0)})`;

function report(title, pages, results, withCpu) {
  console.log(title);
  pages.forEach((page, i) => {
    const of = (key) => results[i].map((result) => result[key]);
    console.log(`  ${page.name}`);
    console.log(
      `    visible ${spread(of('visible'))}, ready ${spread(of('ready'))}` +
        (withCpu ? `, main thread ${spread(of('cpu'))}` : ''),
    );
  });
  const medians = results.map((timed) => ({
    visible: median(timed.map((r) => r.visible)),
    ready: median(timed.map((r) => r.ready)),
  }));
  const [calculator, reference, blank] = medians;
  const ratio = (a, b) => (a / b).toFixed(2);
  console.log(
    `  to the blank page: visible ${ratio(calculator.visible, blank.visible)} ` +
      `(C reference ${ratio(reference.visible, blank.visible)})` +
      (medians[3] ? `, visited again ${ratio(medians[3].visible, blank.visible)}` : ''),
  );
  console.log(
    `  to the C reference: visible ${ratio(calculator.visible, reference.visible)}, ` +
      `ready ${ratio(calculator.ready, reference.ready)}`,
  );
}

const names = ['calculator', 'C reference', 'blank page (load)'];
const fromFiles = [join(siteDir, 'index.html'), referencePage, blankFile].map((path, i) => ({
  name: names[i],
  url: pathToFileURL(path).href,
  asks: i < 2,
}));
report(
  `From file://, unthrottled, medians of ${FILE_ROUNDS}:`,
  fromFiles,
  await measure(fromFiles, FILE_ROUNDS, false),
  false,
);

const served = servers.map((server, i) => ({name: names[i], url: address(server), asks: i < 2}));
served.push({...served[0], name: 'calculator, visited again', again: true});
report(
  `Served on 127.0.0.1, processor ${CPU_SLOWDOWN} times slower, Slow 4G, ` +
    `medians of ${SERVED_ROUNDS}:`,
  served,
  await measure(served, SERVED_ROUNDS, true),
  true,
);

await browser.close();
servers.forEach((server) => server.close());
rmSync(work, {recursive: true, force: true});
