// The layout of the page's drawing by its properties, under node, for the
// report of every golden case and of thousands of random figures, each at
// the drawing's full width and at a narrower one.
//
// Arguments: the folder of cases, the table of floats as printf writes them.
import assert from 'node:assert/strict';
import {readFileSync, readdirSync} from 'node:fs';
import {join} from 'node:path';
import {describe, it} from 'node:test';

import * as layout from '../../web/reservoir_layout.js';

const [casesDir, floatFormats] = process.argv.slice(2);
const RANDOM_REPORTS = 5000;
const NARROW = 200; // pixels, as on a screen with no room for the full width

const same = (a, b) => Math.abs(a - b) <= 1e-9 * Math.max(1, Math.abs(a), Math.abs(b));
// The caption's scale has six significant digits.
const close = (a, b) => Math.abs(a - b) <= 1e-5 * Math.max(Math.abs(a), Math.abs(b));
const inside = (box, drawing) =>
  box.x >= 0 &&
  box.y >= 0 &&
  box.x + box.width <= drawing.width + 1e-9 &&
  box.y + box.height <= drawing.height + 1e-9;

// The report's figures, read here from its lines, not by the layout's
// own reading: as printed, and as numbers (inf and nan as NaN).
function reportFigures(output) {
  const read = (label) => {
    const text = new RegExp(`^${label}: (\\S+)`, 'm').exec(output)[1];
    return {text, value: Number(text)};
  };
  return {
    diameter: read('Diameter of resiviour'),
    water: read('Height of water if liquid'),
    ice: read('Height of frozen water'),
  };
}

function checkLayout(where, output, width) {
  const figures = reportFigures(output);
  const [diameter, water, ice] = [figures.diameter, figures.water, figures.ice].map((f) => f.value);
  const drawn = layout.layOut(layout.figuresOf(output), width);
  const show = `${where} at ${width}: ${JSON.stringify(drawn)}`;
  if (!(diameter > 0 && Number.isFinite(water) && Number.isFinite(ice) && water >= 0 && ice >= 0)) {
    // A sentence in the drawing's place names a figure that gives no shape.
    const causes = [[figures.diameter, !(diameter > 0)]].concat(
      [figures.water, figures.ice].map((f) => [f, !Number.isFinite(f.value) || f.value < 0]),
    );
    assert.ok(
      drawn.reason &&
        causes.some(([f, gives]) => gives && drawn.reason.includes(` ${f.text} f`)) &&
        !/(^|\s)-?1 feet/.test(drawn.reason),
      `a sentence names the figure that gives no shape: ${show}`,
    );
    return;
  }
  assert.ok(
    drawn.reason === undefined && drawn.width <= width,
    `a drawing, within its width: ${show}`,
  );
  const {tank, person, caption} = drawn;
  const floor = tank.y + tank.height;
  const boxes = [tank, drawn.ice, drawn.water, person].filter((box) => box);
  assert.ok(
    boxes.every((box) => inside(box, drawn) && box.height <= layout.DRAWING_HEIGHT * (1 + 1e-9)),
    `every shape within the drawing, and no taller than its shapes may be: ${show}`,
  );
  const legendBottom = Math.max(...drawn.legend.map((row) => row.top + row.height));
  assert.ok(
    boxes.every((box) => box.y >= legendBottom) &&
      drawn.legend.every((row) => inside({x: 0, y: row.top, width: 0, height: row.height}, drawn)),
    `the legend clear of the shapes: ${show}`,
  );

  // Pixels for each length, at the scale the caption states, or a pixel
  // where that is under one, named in the caption.
  const stated = /a pixel is (\S+) (feet|foot)\./.exec(caption);
  const perFoot = 1 / Number(stated && stated[1]);
  const levels = {water: drawn.water ? drawn.water.height : 0, ice: floor - drawn.ice.y};
  const parts = [
    ['The reservoir', diameter, tank.width],
    ['The water', water, levels.water],
    ['The frozen level', ice, levels.ice],
  ];
  for (const [name, feet, pixels] of parts) {
    const named = new RegExp(`${name}, [^,]+, is under a pixel`).test(caption);
    if (feet > 0 && feet * perFoot < 1) {
      assert.ok(pixels === 1 && named, `${name}, under a pixel, drawn one and named: ${show}`);
    } else {
      assert.ok(close(pixels, feet * perFoot) && !named, `${name} at the stated scale: ${show}`);
    }
  }
  assert.ok(
    water > 0
      ? same(drawn.water.y + drawn.water.height, floor) && same(drawn.water.width, tank.width)
      : drawn.water === null && caption.includes('holds no water'),
    `the water on the floor, as wide as the tank, or none: ${show}`,
  );
  assert.ok(
    drawn.ice.height === 0 && drawn.ice.width === tank.width,
    `the frozen level is level: ${show}`,
  );
  assert.ok(
    tank.height >= 1 && tank.height > Math.max(levels.water, levels.ice),
    `the walls show above both levels: ${show}`,
  );
  if (person) {
    assert.ok(
      person.height >= 4 &&
        close(person.height, 6 * perFoot) &&
        person.x >= tank.x + tank.width &&
        same(person.y + person.height, floor),
      `a person six feet tall, beside the tank: ${show}`,
    );
  } else {
    assert.ok(caption.includes('too small to show'), `the person's sentence: ${show}`);
  }
  assert.ok(!/(^|\s)-?1 feet/.test(`${caption} ${drawn.label}`), `one foot is "1 foot": ${show}`);
  assert.ok(
    [figures.diameter, figures.water, figures.ice].every((f) =>
      drawn.label.includes(` ${f.text} f`),
    ) && drawn.label.includes('person') === Boolean(person),
    `the text alternative gives the figures: ${show}`,
  );
  // The legend gives each figure as the report printed it, in the report's
  // order, the water's and the frozen level's rows with their swatches.
  const given = [figures.diameter, figures.water, figures.ice].every((f, at) =>
    drawn.legend[at].text.includes(` ${f.text} ft`),
  );
  assert.ok(
    given &&
      drawn.legend[1].swatch === 'water' &&
      drawn.legend[2].swatch === 'ice' &&
      drawn.legend.length === (person ? 4 : 3),
    `the legend's rows, each with its figure and swatch: ${show}`,
  );
  assert.ok(floor + 0.5 <= drawn.height, `the floor's stroke within the drawing: ${show}`);
}

// Random figures, of every size the report can print, and the ones it
// prints for no size: zero, negative, inf, -inf and nan.
let seed = 2026;
function random() {
  // mulberry32, so that every run meets the same figures
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

describe("the drawing's layout", () => {
  it('draws every golden report to scale, or says why not', () => {
    const reports = readdirSync(casesDir)
      .filter((file) => file.endsWith('.out'))
      .map((name) => [name, readFileSync(join(casesDir, name), 'utf8')])
      .filter(([, output]) => layout.figuresOf(output));
    assert.ok(reports.length > 0);
    for (const [name, output] of reports) {
      for (const width of [layout.DRAWING_WIDTH, NARROW]) {
        checkLayout(name, output, width);
      }
    }
  });

  it(`draws ${RANDOM_REPORTS} random reports to scale, or says why not`, () => {
    for (let i = 0; i < RANDOM_REPORTS; i++) {
      const [diameter, water] = [figure(), figure()];
      const ice = random() < 0.5 ? water : figure();
      const {LABELS} = layout;
      const output = `${LABELS.diameter}${diameter}\n${LABELS.water}${water} feet\n`;
      const report = `${output}${LABELS.ice}${ice} feet\n`;
      checkLayout(
        `random ${diameter} ${water} ${ice}`,
        report,
        random() < 0.5 ? layout.DRAWING_WIDTH : NARROW,
      );
    }
  });

  // As glibc's printf wrote the floats of the report's own table.
  it('writes its scale as the report writes figures', () => {
    for (const row of readFileSync(floatFormats, 'utf8')
      .split('\n')
      .filter((line) => line !== '')) {
      const [bits, expected] = row.split(' ');
      const value = new Float32Array(new Uint32Array([parseInt(bits, 16)]).buffer)[0];
      if (Number.isFinite(value)) {
        assert.equal(layout.asReportWrites(value), expected, `${value}`);
      }
    }
  });
});
