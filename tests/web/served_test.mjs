// Serves the calculator's web folder on 127.0.0.1 as a static host does
// (files 30 days old, with Last-Modified and no Cache-Control, so that the
// browser's HTTP cache holds them for days) to one engine, chromium or
// firefox, in one profile, in turn:
// - the page held back before its scripts, its first question shown and
//   its field named for it, while a line and the start of the next are
//   typed, which must reach the program, with a word that it is starting
//   until then;
// - the page kept once, and with it all it links to, as soon as a worker
//   shows it (the manual comes 3 s late, so a worker that did not wait for
//   it would be seen), that first worker announced as no release;
//   Chromium finds it installable and its name readable;
// - straight after that first visit, with connections dropped (and
//   Chromium offline), a session opened from an address that holds two
//   answers runs to its report;
// - from a server that accepts and never answers, and one that answers
//   500, with a query and with a fragment, the first question shows
//   within 3 s;
// - after a release, a later build of the same version, the first visit
//   opens it, with the run its address holds, and, of this calculator's
//   caches, only its own is left, another's kept; once something is
//   typed, a further release leaves the run alone, says so, and opens at
//   the next visit; a kept file gone from its cache is fetched from the
//   network;
// - on another origin, where the worker cannot be fetched, and in an
//   engine with no service workers, as over plain http from another
//   host, and no Uint8Array.fromBase64, a whole session runs.
// Each step builds on the one before, so the test stops at its first
// failed check.
//
// Exits 77 (skipped) where puppeteer-core or the engine is missing.
// Arguments: the engine, the web folder (as the web zip holds it), the
// folder of cases, and the folders of two later builds, whose titles begin
// "new " and "newer ".
import {resolve} from 'node:path';

import {
  caseText,
  check,
  consoleShown,
  finish,
  openEngine,
  stopAtFirstFailure,
  typeCase,
  waitFor,
  watchTheLog,
} from './page_driving.mjs';
import {serve} from './static_host.mjs';

const engine = process.argv[2];
const [siteDir, casesDir, newBuild, newerBuild] = process.argv.slice(3).map((p) => resolve(p));
const browser = await openEngine(engine);
stopAtFirstFailure();
const read = (name, ext) => caseText(casesDir, name, ext);

// Opens `address` in the tab, and waits for the new page's first question.
async function visit(tab, address) {
  await tab.evaluate(() => {
    window.left = true;
  });
  tab.goto(address).catch(() => {}); // the question may come before the load
  await waitFor(
    tab,
    () => window.left === undefined && document.body.dataset.waiting === 'yes',
    `the first question at ${address}`,
  );
}

async function servedPage() {
  const server = await serve(siteDir);
  const origin = `http://127.0.0.1:${server.address().port}`;
  const tab = await browser.newTab();
  const page = tab.puppeteer;
  const where = `served to ${engine}`;

  // The first visit, on a slow network: typed before the page's scripts
  // arrive, a line and the start of the next.
  let arrive;
  server.held = new Promise((resolve) => {
    arrive = resolve;
  });
  const navigation = tab.goto(`${origin}/`);
  await waitFor(
    tab,
    () => document.getElementById('status') !== null,
    'the page before its scripts',
  );
  const before = await tab.evaluate(() => [
    document.getElementById('answer').disabled,
    document.querySelector('label[for="answer"]').textContent,
    document.getElementById('screen').textContent,
    document.getElementById('status').textContent,
  ]);
  check(
    !before[0] &&
      before[1] === 'How many people?' &&
      read('typical', 'out').startsWith(before[2]) &&
      before[2].endsWith('How many people? ') &&
      before[3].includes('starting'),
    `${where}: before its scripts, the page asks its first question, takes answers, and says it ` +
      `is starting (${before})`,
  );
  await tab.type('4 30 10');
  await tab.press('Enter');
  await tab.type('q');
  arrive();
  server.held = null;
  await navigation;
  await waitFor(
    tab,
    () =>
      document.body.dataset.waiting === 'yes' && document.getElementById('answer').value === 'q',
    'the closing wait',
  );
  await tab.press('Enter');
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const early = await consoleShown(tab);
  check(
    early.out === read('typical', 'out') &&
      early.exitStatus === '0' &&
      !early.status.includes('starting'),
    `${where}: what was typed while the page loaded reaches the program\n${early.out}`,
  );

  await waitFor(tab, () => navigator.serviceWorker.controller !== null, 'the service worker');
  const kept = () =>
    tab.evaluate(async () =>
      Promise.all(
        (await caches.keys()).map(async (name) => ({
          name,
          files: (await (await caches.open(name)).keys()).map(
            (request) => new URL(request.url).pathname,
          ),
        })),
      ),
    );
  // As soon as the worker shows the page, what the page links to is kept:
  // its manual, its manifest, its icons, Safari's among them.
  const [first] = await kept();
  check(
    await tab.evaluate(() => document.getElementById('release').textContent === ''),
    `${where}: the first visit's own worker is announced as no release`,
  );
  check(
    first.files.filter((file) => file === '/' || file === '/index.html').length === 1,
    `${where}: the page is kept once (${first.files})`,
  );
  const linked = await tab.evaluate(() =>
    [...document.querySelectorAll('link[href], a[href]')].map((link) => [
      link.rel,
      new URL(link.href).pathname,
    ]),
  );
  check(
    linked.some(([rel]) => rel === 'apple-touch-icon') &&
      linked.every(([, path]) => first.files.includes(path)),
    `${where}: what the page links to is kept (${linked}; ${first.files})`,
  );
  if (engine === 'chromium') {
    const cdp = await page.createCDPSession();
    const {installabilityErrors} = await cdp.send('Page.getInstallabilityErrors');
    check(
      installabilityErrors.length === 0,
      `${where}: the page is installable (${JSON.stringify(installabilityErrors)})`,
    );
    const {data} = await cdp.send('Page.getAppManifest');
    const {name, short_name: shortName} = JSON.parse(data);
    check(
      !/_/.test(name + shortName),
      `${where}: the app's name is one a person reads (${name}, ${shortName})`,
    );
  }

  // Straight after the first visit, with no network, from an address
  // that holds two answers.
  server.mode = 'refuse';
  await page.setOfflineMode(true).catch(() => {});
  await visit(tab, `${origin}/#answers=4/30`);
  await tab.evaluate(watchTheLog);
  await typeCase(tab, '10\nq', false, `${where} offline`);
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const offline = await consoleShown(tab);
  check(
    offline.out === read('typical', 'out') && offline.exitStatus === '0',
    `${where}: offline after one visit, a whole session gives its report\n${offline.out}`,
  );
  await page.setOfflineMode(false).catch(() => {});

  // A server that never answers, and one that fails, with and without a
  // query: the kept copy asks its first question at once.
  // (The query also keeps the browser's HTTP cache out of it.)
  for (const [mode, address] of [
    ['hang', '/?signal=weak'],
    ['hang', '/#report'],
    ['error', '/?from=home'],
    ['error', '/index.html#report'],
  ]) {
    server.mode = mode;
    const started = Date.now();
    await visit(tab, origin + address);
    const took = Date.now() - started;
    check(
      took < 3000,
      `${where}: a server that does "${mode}" at ${address} holds nothing back (${took} ms)`,
    );
    server.closeAllConnections();
  }

  // A release: taken at the first visit, as nothing has been typed, and
  // the old copy deleted.
  server.mode = null;
  server.release = newBuild;
  await tab.evaluate(() => caches.open('another-app'));
  await visit(tab, `${origin}/#answers=4+30`);
  await waitFor(
    tab,
    () => document.title.startsWith('new ') && document.body.dataset.waiting === 'yes',
    'the release',
  );
  const released = await consoleShown(tab);
  check(
    released.echo === '4 30\n' && released.out.endsWith('Diameter or resivior? '),
    `${where}: the release opens with the run its address holds\n${released.out}`,
  );
  const names = (await kept()).map((cache) => cache.name);
  const ours = names.filter((name) => name !== 'another-app');
  check(
    ours.length === 1 && ours[0] !== first.name && names.includes('another-app'),
    `${where}: after a release only its copy, and another's cache, are kept (${names}, was ${first.name})`,
  );
  await visit(tab, `${origin}/`);
  check(
    (await tab.evaluate(() => document.title)).startsWith('new '),
    `${where}: the next visit opens the release`,
  );

  // Once the person has begun, a release waits for the next visit, and
  // says so.
  await tab.type('4');
  server.release = newerBuild;
  await tab.evaluate(() =>
    navigator.serviceWorker.getRegistration().then((worker) => worker.update()),
  );
  await waitFor(
    tab,
    () => document.getElementById('release').textContent !== '',
    'word of the release',
  );
  check(
    await tab.evaluate(
      () => document.title.startsWith('new ') && document.getElementById('answer').value === '4',
    ),
    `${where}: a release leaves a run that has begun as it is`,
  );
  await visit(tab, `${origin}/`);
  check(
    (await tab.evaluate(() => document.title)).startsWith('newer '),
    `${where}: the visit after the word opens the release`,
  );

  // An image, as the page's policy lets it load one.
  const refetched = await tab.evaluate(async () => {
    const name = (await caches.keys()).find((cache) => cache.startsWith('water_calculator-'));
    await (await caches.open(name)).delete('icon-192.png');
    const icon = new Image();
    icon.src = 'icon-192.png?gone';
    return icon.decode().then(
      () => true,
      () => false,
    );
  });
  check(refetched, `${where}: a kept file gone from the cache is fetched from the network`);

  const left = (await tab.requests()).filter(
    (address) => !address.startsWith(`${origin}/`) && !address.startsWith('data:'),
  );
  check(left.length === 0, `${where}: no request leaves the page's origin (${left})`);
  const errors = await tab.errors();
  check(errors.length === 0, `${where}: the page reports no error (${errors})`);
  await tab.close();
  server.close();
  server.closeAllConnections();
  await elsewhere();
}

// Another origin, so no worker of the first, where the worker cannot be
// fetched; and where the engine offers no service worker, as over plain
// http from another host, and cannot decode base64 itself: a whole
// session runs, with no error.
async function elsewhere() {
  const server = await serve(siteDir);
  server.missing = '/service_worker.js';
  const hide = () => {
    delete Navigator.prototype.serviceWorker;
    delete Uint8Array.fromBase64;
  };
  for (const [how, before] of [
    ['whose worker cannot be fetched', null],
    ['with no service worker and no fromBase64', hide],
  ]) {
    const tab = await browser.newTab();
    const where = `served to ${engine} ${how}`;
    if (before) {
      await tab.beforeScripts(before);
    }
    await tab.goto(`http://127.0.0.1:${server.address().port}/`);
    await tab.evaluate(watchTheLog);
    await typeCase(tab, read('typical', 'in'), false, where);
    await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
    const shown = await consoleShown(tab);
    // Chromium's own word of the 404 it was given is no error of the page.
    const errors = (await tab.errors()).filter(
      (error) => !error.startsWith('A bad HTTP response code (404)'),
    );
    check(
      shown.out === read('typical', 'out') && shown.exitStatus === '0' && errors.length === 0,
      `${where}: a whole session gives its report (${errors})\n${shown.out}`,
    );
    await tab.close();
  }
  server.close();
  server.closeAllConnections();
}

await finish(browser, servedPage);
