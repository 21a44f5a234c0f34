// Drives the calculator's page in headless Chromium, opened from file://,
// on a desktop and on a phone 360 CSS pixels wide. Each golden case that a
// person can type is typed, one line only once the program waits for it,
// and the text shown must be the case's output, its error and its exit
// status. Also checks the page's size, that the answer field has the focus,
// that nothing leaves the page, and on the phone that nothing scrolls
// sideways. Exits 77 (skipped) where puppeteer-core or Chromium is missing.
//
// Arguments: the page, the folder of cases, a folder for screenshots.
import {existsSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import {pathToFileURL} from 'node:url';
import {gzipSync} from 'node:zlib';

const [pagePath, casesDir, shotsDir] = process.argv.slice(2).map((p) => resolve(p));
const HINT = 'Type anything and press Enter to end.\n';
const MAX_BYTES = 512 * 1024;
const MAX_GZIPPED = 160 * 1024;

let CHROMIUM;
let launchChromium;
try {
  ({CHROMIUM, launchChromium} = await import('./chromium.mjs'));
} catch {
  console.log('puppeteer-core is not installed: run npm ci in tests/web');
  process.exit(77);
}
if (!existsSync(CHROMIUM)) {
  console.log(`no ${CHROMIUM}`);
  process.exit(77);
}

const failures = [];
function check(holds, what) {
  if (!holds) {
    failures.push(what);
    console.log(`FAILED: ${what}`);
  }
}

const page = readFileSync(pagePath);
const gzipped = gzipSync(page, {level: 9}).length;
console.log(`page: ${page.length} bytes, ${gzipped} gzipped`);
check(page.length <= MAX_BYTES, `the page is at most ${MAX_BYTES} bytes`);
check(gzipped <= MAX_GZIPPED, `the page is at most ${MAX_GZIPPED} bytes gzipped`);

// What a person can type: printable text, blanks and tabs, line by line,
// with no command-line arguments.
const cases = readdirSync(casesDir)
  .filter((name) => name.endsWith('.in'))
  .map((name) => name.slice(0, -3))
  .filter((name) => !existsSync(join(casesDir, `${name}.args`)))
  .filter((name) => /^[\x20-\x7e\t\n]*$/.test(readFileSync(join(casesDir, `${name}.in`), 'latin1')))
  .sort();

const url = pathToFileURL(pagePath).href;
const profile = mkdtempSync(join(tmpdir(), 'chromium-'));
const browser = await launchChromium(profile);

const viewports = {
  desktop: {width: 1280, height: 900},
  phone: {width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2},
};

async function waitForTurn(tab) {
  await tab.waitForFunction(
    () => document.body.dataset.waiting === 'yes' || document.body.dataset.exitStatus !== undefined,
    {timeout: 20000});
  return tab.evaluate(() => document.body.dataset.exitStatus === undefined);
}

// On a phone, the minus sign and the e come from the page's own keys, which
// a phone's keyboard for numbers may lack.
async function typeLine(tab, text, phone) {
  // Tabs would move the focus, and a very long line takes long to type.
  if (text.length > 80 || text.includes('\t')) {
    await tab.$eval('#answer', (field, value) => { field.value = value; }, text);
    return;
  }
  for (const character of text) {
    if (phone && (character === '-' || character === 'e')) {
      await tab.tap(`.key[data-key="${character}"]`);
    } else {
      await tab.type('#answer', character);
    }
  }
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
    await tab.keyboard.press('Enter');
  }
  if (!(await waitForTurn(tab))) {
    return;
  }
  await typeLine(tab, last, phone);
  if (phone) {
    await tab.click('#end');
  } else {
    await tab.keyboard.down('Control');
    await tab.keyboard.press('d');
    await tab.keyboard.up('Control');
  }
}

function shown(tab, kind) {
  return tab.$$eval(`#screen .${kind}`, (spans) => spans.map((s) => s.textContent).join(''));
}

for (const [name, viewport] of Object.entries(viewports)) {
  const tab = await browser.newPage();
  await tab.setViewport(viewport);
  const requests = [];
  tab.on('request', (request) => requests.push(request.url()));
  const pageErrors = [];
  tab.on('pageerror', (error) => pageErrors.push(String(error)));
  tab.on('console', (message) => {
    if (message.type() === 'error') {
      pageErrors.push(message.text());
    }
  });
  await tab.goto(url, {waitUntil: 'load'});
  await tab.waitForSelector('#screen span');
  check(await tab.evaluate(() => document.activeElement && document.activeElement.id === 'answer'),
        `${name}: the answer field has the focus when the page opens`);
  check(await tab.$eval('#answer', (field) => field.inputMode === 'decimal'),
        `${name}: the answer field asks for a keyboard for numbers`);

  let first = true;
  for (const testCase of cases) {
    if (!first) {
      await tab.click('#again');  // runs again without reloading
    }
    first = false;
    const input = readFileSync(join(casesDir, `${testCase}.in`), 'utf8');
    const errPath = join(casesDir, `${testCase}.err`);
    const expectedErr = existsSync(errPath) ? readFileSync(errPath, 'utf8') : HINT;
    const expectedStatus = existsSync(errPath) ? '1' : '0';
    await typeCase(tab, input, name === 'phone');
    await tab.waitForFunction(() => document.body.dataset.exitStatus !== undefined, {timeout: 20000});
    const out = await shown(tab, 'out');
    const err = await shown(tab, 'err');
    const exitStatus = await tab.evaluate(() => document.body.dataset.exitStatus);
    const statusText = await tab.$eval('#status', (p) => p.textContent);
    check(out === readFileSync(join(casesDir, `${testCase}.out`), 'utf8'),
          `${name} ${testCase}: the output shown is the case's\n${out}`);
    check(err === expectedErr, `${name} ${testCase}: the errors shown are the case's\n${err}`);
    check(exitStatus === expectedStatus && statusText.includes(`exit status ${expectedStatus}`),
          `${name} ${testCase}: exit status ${expectedStatus} is shown (${statusText})`);
    if (testCase === 'typical') {
      mkdirSync(shotsDir, {recursive: true});
      await tab.screenshot({path: join(shotsDir, `${name}.png`), fullPage: true});
    }
  }

  if (name === 'phone') {
    const widths = await tab.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
    check(widths[0] <= widths[1], `phone: nothing scrolls sideways (${widths})`);
    const fontSize = await tab.$eval('#screen', (pre) => parseFloat(getComputedStyle(pre).fontSize));
    check(fontSize >= 12, `phone: the console's text is readable (${fontSize}px)`);
  }
  const left = requests.filter((address) => address !== url && !address.startsWith('data:'));
  check(left.length === 0, `${name}: no request leaves the page (${left})`);
  check(pageErrors.length === 0, `${name}: the page reports no error (${pageErrors})`);
  await tab.close();
}

await browser.close();
rmSync(profile, {recursive: true, force: true});
console.log(`${cases.length} cases typed on each viewport; ${failures.length} failures`);
process.exit(failures.length === 0 ? 0 : 1);
