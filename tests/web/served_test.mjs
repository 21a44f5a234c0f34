// The calculator's web folder served on 127.0.0.1 as a static host serves
// it (files 30 days old, with Last-Modified and no Cache-Control, so that
// the browser's HTTP cache holds them for days) to one engine, chromium or
// firefox, in one profile: a first visit on a slow network, the worker's
// copy offline and from failing servers, releases, and other origins.
// Each step builds on the one before, so the steps after a failed one are
// skipped.
//
// Exits 77 (skipped) where puppeteer-core or the engine is missing.
// Arguments: the engine, the web folder (as the web zip holds it), the
// folder of cases, and the folders of two later builds, whose titles begin
// "new " and "newer ".
import assert from 'node:assert/strict';
import {resolve} from 'node:path';
import {after, describe, it} from 'node:test';

import {
  caseText,
  consoleShown,
  openEngine,
  runEnded,
  stepsInTurn,
  typeCase,
  waitFor,
  watchTheLog,
} from './page_driving.mjs';
import {serve} from './static_host.mjs';

const engine = process.argv[2];
const [siteDir, casesDir, newBuild, newerBuild] = process.argv.slice(3).map((p) => resolve(p));
const browser = await openEngine(engine);
after(() => browser.close());
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

describe(`the page served to ${engine}`, () => {
  const step = stepsInTurn();
  const where = `served to ${engine}`;
  let server;
  let origin;
  let tab;
  let page;
  let first; // the cache of the first visit's worker
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
  after(() => {
    server.close();
    server.closeAllConnections();
  });

  // On a slow network: typed before the page's scripts arrive, a line and
  // the start of the next, to the field that has the focus.
  step('asks its first question before its scripts arrive, and keeps what is typed', async () => {
    server = await serve(siteDir);
    origin = `http://127.0.0.1:${server.address().port}`;
    tab = await browser.newTab();
    page = tab.puppeteer;
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
    assert.ok(
      !before[0] &&
        before[1] === 'How many people?' &&
        read('typical', 'out').startsWith(before[2]) &&
        before[2].endsWith('How many people? ') &&
        before[3].includes('starting'),
      `before its scripts, the page asks, takes answers and says it is starting (${before})`,
    );
    await tab.keys('4 30 10');
    await tab.press('Enter');
    await tab.keys('q');
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
    await runEnded(tab);
    const early = await consoleShown(tab);
    assert.ok(
      early.out === read('typical', 'out') &&
        early.exitStatus === '0' &&
        !early.status.includes('starting'),
      `${where}: what was typed while the page loaded reaches the program\n${early.out}`,
    );
  });

  // Its manual, its manifest, its icons, Safari's among them.
  step('keeps itself and all it links to as soon as a worker shows it', async () => {
    await waitFor(tab, () => navigator.serviceWorker.controller !== null, 'the service worker');
    [first] = await kept();
    assert.ok(
      await tab.evaluate(() => document.getElementById('release').textContent === ''),
      `${where}: the first visit's own worker is announced as no release`,
    );
    assert.ok(
      first.files.filter((file) => file === '/' || file === '/index.html').length === 1,
      `${where}: the page is kept once (${first.files})`,
    );
    const linked = await tab.evaluate(() =>
      [...document.querySelectorAll('link[href], a[href]')].map((link) => [
        link.rel,
        new URL(link.href).pathname,
      ]),
    );
    assert.ok(
      linked.some(([rel]) => rel === 'apple-touch-icon') &&
        linked.every(([, path]) => first.files.includes(path)),
      `${where}: what the page links to is kept (${linked}; ${first.files})`,
    );
    if (engine === 'chromium') {
      const cdp = await page.createCDPSession();
      const {installabilityErrors} = await cdp.send('Page.getInstallabilityErrors');
      assert.ok(
        installabilityErrors.length === 0,
        `${where}: the page is installable (${JSON.stringify(installabilityErrors)})`,
      );
      const {data} = await cdp.send('Page.getAppManifest');
      const {name, short_name: shortName, description} = JSON.parse(data);
      assert.ok(
        !/_/.test(name + shortName),
        `${where}: the app's name is one a person reads (${name}, ${shortName})`,
      );
      assert.equal(
        await tab.evaluate(() => document.querySelector('meta[name="description"]').content),
        description,
        'the page and the app describe themselves alike',
      );
    }
  });

  step(
    'runs a session offline, straight after one visit, from an address that holds two answers',
    async () => {
      server.mode = 'refuse';
      await page.setOfflineMode(true).catch(() => {});
      await visit(tab, `${origin}/#answers=4/30`);
      await tab.evaluate(watchTheLog);
      await typeCase(tab, '10\nq', false, `${where} offline`);
      await runEnded(tab);
      const offline = await consoleShown(tab);
      assert.ok(
        offline.out === read('typical', 'out') && offline.exitStatus === '0',
        `${where}: offline after one visit, a whole session gives its report\n${offline.out}`,
      );
      await page.setOfflineMode(false).catch(() => {});
    },
  );

  // With and without a query, which also keeps the browser's HTTP cache
  // out of it.
  step('asks its first question at once where the server hangs or fails', async () => {
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
      assert.ok(
        took < 3000,
        `${where}: a server that does "${mode}" at ${address} holds nothing back (${took} ms)`,
      );
      server.closeAllConnections();
    }
  });

  // Taken at the first visit, as nothing has been typed, and the old copy
  // deleted.
  step(
    'opens a release at once, with the run its address holds, and keeps its copy alone',
    async () => {
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
      assert.ok(
        released.echo === '4 30\n' && released.out.endsWith('Diameter or resivior? '),
        `${where}: the release opens with the run its address holds\n${released.out}`,
      );
      const names = (await kept()).map((cache) => cache.name);
      const ours = names.filter((name) => name !== 'another-app');
      assert.ok(
        ours.length === 1 && ours[0] !== first.name && names.includes('another-app'),
        `after a release, only its copy and another's cache are kept (${names}; ${first.name})`,
      );
      await visit(tab, `${origin}/`);
      assert.ok(
        (await tab.evaluate(() => document.title)).startsWith('new '),
        `${where}: the next visit opens the release`,
      );
    },
  );

  step(
    'leaves a run that has begun to a release, says so, and opens it at the next visit',
    async () => {
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
      assert.ok(
        await tab.evaluate(
          () =>
            document.title.startsWith('new ') && document.getElementById('answer').value === '4',
        ),
        `${where}: a release leaves a run that has begun as it is`,
      );
      await visit(tab, `${origin}/`);
      assert.ok(
        (await tab.evaluate(() => document.title)).startsWith('newer '),
        `${where}: the visit after the word opens the release`,
      );
    },
  );

  // Images, as the page's policy lets it load them. In the moment after a
  // release's worker deletes the old cache, the old worker still answers:
  // from the release's cache, with no network.
  step("serves a kept file from its release's cache, offline, once its own is gone", async () => {
    server.mode = 'refuse';
    await page.setOfflineMode(true).catch(() => {});
    const served = await tab.evaluate(async () => {
      const own = (await caches.keys()).find((cache) => cache.startsWith('water_calculator-'));
      const icon = await (await caches.open(own)).match('icon-192.png');
      await (await caches.open('water_calculator-release')).put('icon-192.png', icon);
      await caches.delete(own);
      const shown = new Image();
      shown.src = 'icon-192.png?moment';
      return shown.decode().then(
        () => true,
        () => false,
      );
    });
    await page.setOfflineMode(false).catch(() => {});
    server.mode = null;
    assert.ok(served);
  });

  step('fetches a kept file gone from its cache from the network', async () => {
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
    assert.ok(refetched, `${where}: a kept file gone from the cache is fetched from the network`);
  });

  step('sends no request off its origin, and reports no error', async () => {
    const left = (await tab.requests()).filter(
      (address) => !address.startsWith(`${origin}/`) && !address.startsWith('data:'),
    );
    assert.deepEqual(left, [], `${where}: no request leaves the page's origin`);
    const errors = await tab.errors();
    assert.deepEqual(errors, [], `${where}: the page reports no error`);
    await tab.close();
  });
});

// Another origin, so no worker of the first, where the worker cannot be
// fetched; and where the engine offers no service worker, as over plain
// http from another host, and cannot decode base64 itself.
describe(`the page served to ${engine} elsewhere`, () => {
  let server;
  after(() => {
    server.close();
    server.closeAllConnections();
  });
  const hide = () => {
    delete Navigator.prototype.serviceWorker;
    delete Uint8Array.fromBase64;
  };
  for (const [how, before] of [
    ['whose worker cannot be fetched', null],
    ['with no service worker and no fromBase64', hide],
  ]) {
    it(`runs a whole session, with no error, ${how}`, async () => {
      if (!server) {
        server = await serve(siteDir);
        server.missing = '/service_worker.js';
      }
      const tab = await browser.newTab();
      const where = `served to ${engine} ${how}`;
      if (before) {
        await tab.beforeScripts(before);
      }
      await tab.goto(`http://127.0.0.1:${server.address().port}/`);
      await tab.evaluate(watchTheLog);
      await typeCase(tab, read('typical', 'in'), false, where);
      await runEnded(tab);
      const shown = await consoleShown(tab);
      // Chromium's own word of the 404 it was given is no error of the page.
      const errors = (await tab.errors()).filter(
        (error) => !error.startsWith('A bad HTTP response code (404)'),
      );
      assert.ok(
        shown.out === read('typical', 'out') && shown.exitStatus === '0' && errors.length === 0,
        `${where}: a whole session gives its report (${errors})\n${shown.out}`,
      );
      await tab.close();
    });
  }
});
