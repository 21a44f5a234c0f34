// Drives the calculator's page in one engine, chromium, firefox or webkit,
// opened from file://, on a desktop and on a phone 360 CSS pixels wide.
// Each golden case that a person can type is typed, one line only once the
// program waits for it, and the text shown must be the case's output, its
// error and its exit status; the reservoir drawn must have the report's
// proportions, or a sentence must say why there is none. Also checks the
// page's size, the focus, that each line reaches the console's live log
// on its own, that errors and only errors look like errors, that nothing
// sends input once a run has ended, axe-core before and after a run, that
// nothing leaves the page, no page error, and on the phone that nothing
// scrolls sideways.
//
// With `offline` in place of an engine, serves the folder on 127.0.0.1 to
// Chromium instead: the page must be installable, take a new page at the
// first visit online, and run a whole session with no network.
//
// Exits 77 (skipped) where puppeteer-core or the engine is missing.
// Arguments: the engine, the web folder (as the web zip holds it), the
// folder of cases, a folder for screenshots.
import {existsSync, mkdirSync, readFileSync, readdirSync} from 'node:fs';
import {createRequire} from 'node:module';
import {createServer} from 'node:http';
import {extname, join, resolve} from 'node:path';
import {pathToFileURL} from 'node:url';
import {gzipSync} from 'node:zlib';

const engine = process.argv[2];
const [siteDir, casesDir, shotsDir] = process.argv.slice(3).map((p) => resolve(p));
const pagePath = join(siteDir, 'index.html');
const HINT = 'Type anything and press Enter to end.\n';
const MAX_BYTES = 512 * 1024;
const MAX_GZIPPED = 160 * 1024;

let launch;
let axeSource;
try {
  ({launch} = await import('./browsers.mjs'));
  axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
} catch {
  console.log('puppeteer-core or axe-core is not installed: run npm ci in tests/web');
  process.exit(77);
}
const browser = await launch(engine === 'offline' ? 'chromium' : engine);
if (!browser) {
  console.log(`${engine} is not installed`);
  process.exit(77);
}

const failures = [];
function check(holds, what) {
  if (!holds) {
    failures.push(what);
    console.log(`FAILED: ${what}`);
  }
}

async function waitFor(tab, condition, what) {
  for (const deadline = Date.now() + 20000; Date.now() < deadline;) {
    if (await tab.evaluate(condition)) {
      return;
    }
    await new Promise((wake) => setTimeout(wake, 20));
  }
  throw new Error(`timed out waiting for ${what}`);
}

async function waitForTurn(tab) {
  await waitFor(tab, () => document.body.dataset.waiting === 'yes' ||
                           document.body.dataset.exitStatus !== undefined, 'the program');
  return tab.evaluate(() => document.body.dataset.exitStatus === undefined);
}

// On a phone, the minus sign and the e come from the page's own keys, which
// a phone's keyboard for numbers may lack, where the engine shows them.
async function typeLine(tab, text, phone) {
  // Tabs would move the focus, and a very long line takes long to type.
  if (text.length > 80 || text.includes('\t')) {
    await tab.evaluate((value) => { document.getElementById('answer').value = value; }, text);
    return;
  }
  const keys = phone && await tab.evaluate(
    () => getComputedStyle(document.querySelector('.key')).display !== 'none');
  let plain = '';
  for (const character of text) {
    if (keys && (character === '-' || character === 'e')) {
      await tab.type(plain);
      plain = '';
      await tab.click(`.key[data-key="${character}"]`);
    } else {
      plain += character;
    }
  }
  await tab.type(plain);
}

// Types the case's input, then ends it the way this viewport's person would.
async function typeCase(tab, input, phone) {
  const lines = input.split('\n');
  const last = lines.pop();
  for (const line of lines) {
    if (!(await waitForTurn(tab))) {
      return;
    }
    await typeLine(tab, line, phone);
    await tab.press('Enter');
  }
  if (!(await waitForTurn(tab))) {
    return;
  }
  await typeLine(tab, last, phone);
  if (phone) {
    await tab.click('#end');
  } else {
    await tab.endInputKeys();
  }
}

// What the console shows, by stream, and how each stream's lines look.
function consoleShown(tab) {
  return tab.evaluate(() => {
    const spans = [...document.querySelectorAll('#screen span')];
    const text = (fd) => spans.filter((s) => s.dataset.fd === fd).map((s) => s.textContent).join('');
    return {
      out: text('1'),
      err: text('2'),
      errorSpans: spans.filter((s) => s.className === 'err').map((s) => s.textContent).join(''),
      eachLineApart: spans.every((s) => !s.textContent.slice(0, -1).includes('\n')),
      exitStatus: document.body.dataset.exitStatus,
      status: document.getElementById('status').textContent,
      inputsOff: [...document.querySelectorAll('#line input, #line button')].every((e) => e.disabled),
    };
  });
}

// The drawing, as its shapes' sizes in pixels, or the sentence in its place.
function drawing(tab) {
  return tab.evaluate(() => {
    const figure = document.getElementById('reservoir');
    const part = (name) => figure.querySelector(`[data-part="${name}"]`);
    if (figure.hidden || !part('tank')) {
      return {shown: !figure.hidden, caption: figure.textContent};
    }
    const floor = Number(part('tank').getAttribute('y')) + Number(part('tank').getAttribute('height'));
    return {
      shown: true,
      width: Number(part('tank').getAttribute('width')),
      water: Number(part('water').getAttribute('height')),
      ice: floor - Number(part('ice').getAttribute('y1')),
      label: figure.querySelector('svg').getAttribute('aria-label'),
      caption: figure.querySelector('figcaption').textContent,
      fits: figure.querySelector('svg').getBoundingClientRect().right <= window.innerWidth,
    };
  });
}

// The report's diameter and depths give the drawing's proportions, where
// they give a shape at all.
function checkDrawing(where, out, drawn) {
  const figure = (pattern) => {
    const found = pattern.exec(out);
    return found && found[1];
  };
  const diameter = figure(/^Diameter of resiviour: (\S+)\n/m);
  const water = figure(/^Height of water if liquid: (\S+) feet\n/m);
  const ice = figure(/^Height of frozen water: (\S+) feet\n/m);
  if (!ice) {
    check(!drawn.shown, `${where}: no drawing without a report`);
    return;
  }
  const [d, w, i] = [diameter, water, ice].map(Number);  // inf and nan are NaN
  if (!(d > 0 && w >= 0 && i >= 0)) {
    check(drawn.shown && drawn.width === undefined && /^No reservoir is drawn: /.test(drawn.caption),
          `${where}: a sentence says why ${diameter} ${water} ${ice} is not drawn (${drawn.caption})`);
    return;
  }
  const close = (a, b) => Math.abs(a - b) <= 1e-9 * Math.max(Math.abs(a), Math.abs(b));
  check(close(drawn.water / drawn.width, w / d) && close(drawn.ice / drawn.width, i / d),
        `${where}: drawn to the report's proportions (${JSON.stringify(drawn)})`);
  check(drawn.label.includes(`${diameter} feet across`) && drawn.label.includes(`${water} feet deep`) &&
        drawn.label.includes(`${ice} feet deep`), `${where}: the drawing's text gives the figures`);
  check(drawn.fits, `${where}: the drawing fits the screen`);
}

async function accessibility(tab, where) {
  if (!(await tab.evaluate(() => typeof window.axe === 'object'))) {
    await tab.evaluate(axeSource);
  }
  const violations = await tab.evaluate(
    () => window.axe.run(document).then((result) =>
      result.violations.map((v) => `${v.id} (${v.nodes.map((n) => n.target).join(', ')})`)));
  check(violations.length === 0, `${where}: axe-core finds no violation (${violations})`);
}

const viewports = {
  desktop: {width: 1280, height: 900},
  phone: {width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2},
};

// What a person can type: printable text, blanks and tabs, line by line,
// with no command-line arguments.
const cases = readdirSync(casesDir)
  .filter((name) => name.endsWith('.in'))
  .map((name) => name.slice(0, -3))
  .filter((name) => !existsSync(join(casesDir, `${name}.args`)) && !existsSync(join(casesDir, `${name}.argv0`)))
  .filter((name) => /^[\x20-\x7e\t\n]*$/.test(readFileSync(join(casesDir, `${name}.in`), 'latin1')))
  .sort();
const read = (name, ext) => readFileSync(join(casesDir, `${name}.${ext}`), 'utf8');

async function typedCases() {
  const page = readFileSync(pagePath);
  const gzipped = gzipSync(page, {level: 9}).length;
  console.log(`page: ${page.length} bytes, ${gzipped} gzipped`);
  check(page.length <= MAX_BYTES, `the page is at most ${MAX_BYTES} bytes`);
  check(gzipped <= MAX_GZIPPED, `the page is at most ${MAX_GZIPPED} bytes gzipped`);
  const url = pathToFileURL(pagePath).href;
  mkdirSync(shotsDir, {recursive: true});

  for (const [name, viewport] of Object.entries(viewports)) {
    const tab = await browser.newTab();
    await tab.size(viewport);
    await tab.goto(url);
    await waitFor(tab, () => document.querySelector('#screen span') !== null, 'the banner');
    check(await tab.evaluate(() => document.activeElement && document.activeElement.id === 'answer'),
          `${name}: the answer field has the focus when the page opens`);
    check(await tab.evaluate(() => document.getElementById('answer').inputMode === 'decimal'),
          `${name}: the answer field asks for a keyboard for numbers`);
    await accessibility(tab, `${name}, before a run`);

    let first = true;
    for (const testCase of cases) {
      if (!first) {
        await tab.click('#again');  // runs again without reloading
      }
      first = false;
      const where = `${engine} ${name} ${testCase}`;
      const failed = existsSync(join(casesDir, `${testCase}.err`));
      const expectedErr = failed ? read(testCase, 'err') : HINT;
      const expectedStatus = failed ? '1' : '0';
      await typeCase(tab, read(testCase, 'in'), name === 'phone');
      await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
      const shown = await consoleShown(tab);
      check(shown.out === read(testCase, 'out'), `${where}: the output shown is the case's\n${shown.out}`);
      check(shown.err === expectedErr, `${where}: the errors shown are the case's\n${shown.err}`);
      check(shown.errorSpans === (failed ? expectedErr : ''), `${where}: errors, and only they, look like errors`);
      check(shown.eachLineApart, `${where}: each line reaches the console on its own`);
      check(shown.exitStatus === expectedStatus && shown.status.includes(`exit status ${expectedStatus}`),
            `${where}: exit status ${expectedStatus} is shown (${shown.status})`);
      check(shown.inputsOff, `${where}: nothing sends input once the run has ended`);
      checkDrawing(where, shown.out, await drawing(tab));
      if (testCase === 'typical') {
        await accessibility(tab, `${name}, after a run`);
        await tab.screenshot(join(shotsDir, `${engine}-${name}.png`));
      }
    }
    if (name === 'phone') {
      const widths = await tab.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
      check(widths[0] <= widths[1], `phone: nothing scrolls sideways (${widths})`);
      const fontSize = await tab.evaluate(
        () => parseFloat(getComputedStyle(document.getElementById('screen')).fontSize));
      check(fontSize >= 12, `phone: the console's text is readable (${fontSize}px)`);
    }
    const left = (await tab.requests()).filter((address) => address !== url && !address.startsWith('data:'));
    check(left.length === 0, `${name}: no request leaves the page (${left})`);
    const errors = await tab.errors();
    check(errors.length === 0, `${name}: the page reports no error (${errors})`);
    await tab.close();
  }
  console.log(`${cases.length} cases typed on each viewport`);
}

// The folder served as a static host serves it; `newRelease` stands for a
// release whose page differs.
function serve() {
  const types = {'.html': 'text/html', '.js': 'text/javascript', '.png': 'image/png',
                 '.webmanifest': 'application/manifest+json', '.md': 'text/plain', '.txt': 'text/plain'};
  const server = createServer((request, response) => {
    const path = new URL(request.url, 'http://host').pathname.replace(/\/$/, '/index.html');
    const file = join(siteDir, decodeURIComponent(path));
    if (!file.startsWith(siteDir) || !existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    let body = readFileSync(file);
    if (server.newRelease && path === '/index.html') {
      body = Buffer.from(String(body).replace('<title>', '<title>new '));
    }
    response.writeHead(200, {'content-type': types[extname(file)] || 'application/octet-stream'});
    response.end(body);
  });
  return new Promise((ready) => server.listen(0, '127.0.0.1', () => ready(server)));
}

async function offline() {
  const server = await serve();
  const origin = `http://127.0.0.1:${server.address().port}`;
  const tab = await browser.newTab();
  const page = tab.puppeteer;
  await tab.goto(`${origin}/`);
  await waitFor(tab, () => navigator.serviceWorker.controller !== null, 'the service worker');
  await waitFor(tab, () => caches.keys().then((names) => names.length === 1), 'the offline copy');
  const cdp = await page.createCDPSession();
  const {installabilityErrors} = await cdp.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0,
        `the page is installable (${JSON.stringify(installabilityErrors)})`);

  server.newRelease = true;
  await page.reload({waitUntil: 'load'});
  check((await page.title()).startsWith('new '), 'a new page replaces the old at the first visit online');

  server.close();
  server.closeAllConnections();
  await page.setOfflineMode(true);
  await page.reload({waitUntil: 'load'});
  check((await page.title()).startsWith('new '), 'offline, the page last seen opens');
  await typeCase(tab, read('typical', 'in'), false);
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const shown = await consoleShown(tab);
  check(shown.out === read('typical', 'out') && shown.exitStatus === '0',
        `offline, a whole session gives its report\n${shown.out}`);
  const left = (await tab.requests()).filter((address) =>
    !address.startsWith(`${origin}/`) && !address.startsWith('data:'));
  check(left.length === 0, `no request leaves the page's origin (${left})`);
  const errors = await tab.errors();
  check(errors.length === 0, `the page reports no error (${errors})`);
  await tab.close();
}

try {
  await (engine === 'offline' ? offline() : typedCases());
} catch (error) {
  check(false, String(error.stack || error));
}
await browser.close();
console.log(`${failures.length} failures`);
process.exit(failures.length === 0 ? 0 : 1);
