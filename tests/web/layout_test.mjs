// Checks the layout of the page's drawing by its properties, under node,
// for the report of every golden case and of thousands of random figures,
// each at the drawing's full width and at a narrower one: the shapes fit
// the drawing's box and height and clear the legend; a foot is the same number of pixels
// across and up, and the caption states that scale; the water stands from
// the floor to its depth, as wide as the tank, and the frozen level lies
// level at its depth; the walls rise above the higher level, and show
// when the reservoir is empty; the person is six feet at that scale and at
// least 4 pixels tall, or absent with its sentence; each part under a
// pixel is drawn one pixel, with its sentence; one foot is "1 foot"; or,
// where no shape can be drawn, a sentence names the figure that says why.
//
// Arguments: the layout's script, the folder of cases.
import {readFileSync, readdirSync} from 'node:fs';
import {join} from 'node:path';
import {runInNewContext} from 'node:vm';

const [script, casesDir, floatFormats] = process.argv.slice(2);
const layout = runInNewContext(`${readFileSync(script, 'utf8')}\nreservoirLayout;`);
const RANDOM_REPORTS = 5000;
const NARROW = 200;  // pixels, as on a screen with no room for the full width

let failures = 0;
function check(holds, what) {
  if (!holds) {
    failures++;
    if (failures <= 20) {
      console.log(`FAILED: ${what}`);
    }
  }
}

const same = (a, b) => Math.abs(a - b) <= 1e-9 * Math.max(1, Math.abs(a), Math.abs(b));
// The caption's scale has six significant digits.
const close = (a, b) => Math.abs(a - b) <= 1e-5 * Math.max(Math.abs(a), Math.abs(b));
const inside = (box, drawing) => box.x >= 0 && box.y >= 0 &&
    box.x + box.width <= drawing.width + 1e-9 && box.y + box.height <= drawing.height + 1e-9;

// The report's figures, read here from its lines, not by the layout's
// own reading: as printed, and as numbers (inf and nan as NaN).
function reportFigures(output) {
  const read = (label) => {
    const text = new RegExp(`^${label}: (\\S+)`, 'm').exec(output)[1];
    return {text, value: Number(text)};
  };
  return {diameter: read('Diameter of resiviour'), water: read('Height of water if liquid'),
          ice: read('Height of frozen water')};
}

function checkLayout(where, output, width) {
  const figures = reportFigures(output);
  const [diameter, water, ice] = [figures.diameter, figures.water, figures.ice].map((f) => f.value);
  const drawn = layout.layOut(layout.figuresOf(output), width);
  const show = `${where} at ${width}: ${JSON.stringify(drawn)}`;
  if (!(diameter > 0 && Number.isFinite(water) && Number.isFinite(ice) && water >= 0 && ice >= 0)) {
    // Each figure that gives no shape, with why.
    const causes = [[figures.diameter, !(diameter > 0), 'gives it no width']].concat(
      [figures.water, figures.ice].map((f) => [f, !Number.isFinite(f.value), 'has no height that can be drawn']),
      [figures.water, figures.ice].map((f) => [f, f.value < 0, 'would lie below its floor']))
      .filter(([, holds]) => holds);
    check(drawn.reason && drawn.reason.startsWith('No reservoir is drawn: ') &&
          causes.some(([f, , why]) => drawn.reason.includes(` ${f.text} f`) && drawn.reason.includes(why)) &&
          !/(^|\s)-?1 feet/.test(drawn.reason), `a sentence says why nothing is drawn: ${show}`);
    return;
  }
  check(drawn.reason === undefined && drawn.width <= width, `a drawing, within its width: ${show}`);
  const {tank, person, caption} = drawn;
  const floor = tank.y + tank.height;
  const boxes = [tank, drawn.ice, drawn.water, person].filter((box) => box);
  check(boxes.every((box) => inside(box, drawn) && box.height <= layout.DRAWING_HEIGHT * (1 + 1e-9)),
        `every shape within the drawing, and no taller than its shapes may be: ${show}`);
  const legendBottom = Math.max(...drawn.legend.map((row) => row.top + row.height));
  check(boxes.every((box) => box.y >= legendBottom) && drawn.legend.every((row) => inside(
    {x: 0, y: row.top, width: 0, height: row.height}, drawn)), `the legend clear of the shapes: ${show}`);

  // Pixels for each length, at the scale the caption states, or a pixel
  // where that is under one, named in the caption.
  const stated = /a pixel is (\S+) (feet|foot)\./.exec(caption);
  const perFoot = 1 / Number(stated && stated[1]);
  const levels = {water: drawn.water ? drawn.water.height : 0, ice: floor - drawn.ice.y};
  const parts = [['The reservoir', diameter, tank.width], ['The water', water, levels.water],
                 ['The frozen level', ice, levels.ice]];
  for (const [name, feet, pixels] of parts) {
    const named = new RegExp(`${name}, [^,]+, is under a pixel`).test(caption);
    if (feet > 0 && feet * perFoot < 1) {
      check(pixels === 1 && named, `${name}, under a pixel, drawn one and named: ${show}`);
    } else {
      check(close(pixels, feet * perFoot) && !named, `${name} at the stated scale: ${show}`);
    }
  }
  check(water > 0 ? same(drawn.water.y + drawn.water.height, floor) && same(drawn.water.width, tank.width)
                  : drawn.water === null && caption.includes('holds no water'),
        `the water on the floor, as wide as the tank, or none: ${show}`);
  check(drawn.ice.height === 0 && drawn.ice.width === tank.width, `the frozen level is level: ${show}`);
  check(tank.height >= 1 && tank.height > Math.max(levels.water, levels.ice),
        `the walls show above both levels: ${show}`);
  if (person) {
    check(person.height >= 4 && close(person.height, 6 * perFoot) && person.x >= tank.x + tank.width &&
          same(person.y + person.height, floor), `a person six feet tall, beside the tank: ${show}`);
  } else {
    check(caption.includes('too small to show'), `the person's sentence: ${show}`);
  }
  check(!/(^|\s)-?1 feet/.test(`${caption} ${drawn.label}`), `one foot is "1 foot": ${show}`);
  check([figures.diameter, figures.water, figures.ice].every((f) => drawn.label.includes(` ${f.text} f`)) &&
        drawn.label.includes('person') === Boolean(person), `the text alternative gives the figures: ${show}`);
  const rows = [[`Diameter: ${figures.diameter.text} ft`, null], [`Water: ${figures.water.text} ft deep`, 'water'],
                [`Frozen: ${figures.ice.text} ft`, 'ice']].concat(person ? [['Person: 6 ft', null]] : []);
  check(JSON.stringify(drawn.legend.map((row) => [row.text, row.swatch])) === JSON.stringify(rows),
        `the legend's rows, each with its figure and swatch: ${show}`);
  check(floor + 0.5 <= drawn.height, `the floor's stroke within the drawing: ${show}`);
}

// The golden cases' reports.
let reports = 0;
for (const name of readdirSync(casesDir).filter((file) => file.endsWith('.out'))) {
  const output = readFileSync(join(casesDir, name), 'utf8');
  if (layout.figuresOf(output)) {
    for (const width of [layout.DRAWING_WIDTH, NARROW]) {
      checkLayout(name, output, width);
    }
    reports++;
  }
}

// Random figures, of every size the report can print, and the ones it
// prints for no size: zero, negative, inf, -inf and nan.
let seed = 2026;
function random() {  // mulberry32, so that every run meets the same figures
  seed = (seed + 0x6d2b79f5) | 0;
  let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
  t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
  return ((t ^ (t >>> 14)) >>> 0) / 2 ** 32;
}
function figure() {
  const odd = ['0', '-1', '1', 'inf', '-inf', 'nan'];
  if (random() < 0.05) {
    return odd[Math.floor(random() * odd.length)];
  }
  return (10 ** (random() * 78 - 39)).toPrecision(6);
}
for (let i = 0; i < RANDOM_REPORTS; i++) {
  const [diameter, water] = [figure(), figure()];
  const ice = random() < 0.5 ? water : figure();
  const {LABELS} = layout;
  const output = `${LABELS.diameter}${diameter}\n${LABELS.water}${water} feet\n${LABELS.ice}${ice} feet\n`;
  checkLayout(`random ${diameter} ${water} ${ice}`, output, random() < 0.5 ? layout.DRAWING_WIDTH : NARROW);
}

// The caption writes its scale as the report writes figures: as glibc's
// printf wrote the floats of the report's own table.
let formats = 0;
for (const row of readFileSync(floatFormats, 'utf8').split('\n').filter((line) => line !== '')) {
  const [bits, expected] = row.split(' ');
  const value = new Float32Array(new Uint32Array([parseInt(bits, 16)]).buffer)[0];
  if (Number.isFinite(value)) {
    check(layout.asReportWrites(value) === expected.replace(/^-0$/, '-0'),
          `${value} written as printf writes it, ${expected}: ${layout.asReportWrites(value)}`);
    formats++;
  }
}

console.log(`${reports} golden reports and ${RANDOM_REPORTS} random ones laid out, ` +
            `${formats} scales written, ${failures} failures`);
process.exit(failures === 0 ? 0 : 1);
