// The reservoir of a report, drawn to scale from the lines the program
// printed: an upright cylinder seen from the side, as wide as its
// diameter, the water at its liquid depth, the level the same water
// reaches frozen, and a person of six feet beside it where one shows.
// The drawing is laid out first, in the pixels it is shown in, then drawn.
const DRAWING_WIDTH = 300;   // CSS pixels at most: fits a 360-pixel screen
const DRAWING_HEIGHT = 260;  // at most, for the shapes
const EDGE = 1;              // room for the walls' stroke on every side
const LEGEND_ROW = 20;       // pixels for each line of the legend
const LEGEND_GAP = 6;        // between the legend and the shapes
const PERSON_FEET = 6;
const PERSON_GAP_FEET = 2;   // between the reservoir and the person
const PERSON_WIDTH_FEET = 2;
const PERSON_SMALLEST = 4;   // pixels tall, below which no person shows
const SMALLEST_PART = 1;     // pixels: a part any smaller is drawn this size
const WALLS_SMALLEST = 4;    // pixels: an empty reservoir still shows walls
const HEADROOM = 1.1;        // the walls rise a tenth above the higher level
const SVG = 'http://www.w3.org/2000/svg';
const WATER_STYLE = {fill: '#4a9fe0'};
const ICE_STYLE = {stroke: '#0a5b8c', 'stroke-width': 2, 'stroke-dasharray': '4 2'};

// A figure as the report writes it, in the "%g" form or inf, -inf, nan.
function reportNumber(text) {
  const named = {'inf': Infinity, '-inf': -Infinity, 'nan': NaN};
  return text in named ? named[text] : Number(text);
}

// A length as the report writes its figures: six significant digits in
// the "%g" form of C's printf.
function asReportWrites(value) {
  const [mantissa, exponentText] = value.toExponential(5).split('e');
  const exponent = Number(exponentText);
  const trimmed = (digits) => digits.includes('.') ? digits.replace(/\.?0+$/, '') : digits;
  if (exponent < -4 || exponent >= 6) {
    return trimmed(mantissa) + 'e' + (exponent < 0 ? '-' : '+') +
        String(Math.abs(exponent)).padStart(2, '0');
  }
  return trimmed(value.toFixed(5 - exponent));
}

// "1 foot", "2 feet": a length as printed, with its unit.
function feet(text) {
  return text + (text === '1' || text === '-1' ? ' foot' : ' feet');
}

// The diameter and the two depths of a report, each as printed and as a
// number; null until the report's last line is there.
function reportFigures(output) {
  function figure(pattern) {
    const found = pattern.exec(output);
    return found && {text: found[1], value: reportNumber(found[1])};
  }
  const figures = {
    diameter: figure(/^Diameter of resiviour: (\S+)\n/m),
    water: figure(/^Height of water if liquid: (\S+) feet\n/m),
    ice: figure(/^Height of frozen water: (\S+) feet\n/m),
  };
  return figures.diameter && figures.water && figures.ice ? figures : null;
}

// Why the figures give no shape, or '' where they do.
function whyNotDrawn(figures) {
  if (!(figures.diameter.value > 0)) {
    return 'No reservoir is drawn: a diameter of ' + feet(figures.diameter.text) +
        ' gives it no width.';
  }
  for (const depth of [figures.water, figures.ice]) {
    if (!isFinite(depth.value)) {
      return 'No reservoir is drawn: a depth of ' + feet(depth.text) +
          ' has no height that can be drawn.';
    }
    if (depth.value < 0) {
      return 'No reservoir is drawn: a depth of ' + feet(depth.text) +
          ' would lie below its floor.';
    }
  }
  return '';
}

// Pixels per foot that fit the shapes into `width` pixels across,
// unstretched, and whether the person shows: only where it is tall enough
// at the scale that makes room for it.
function drawingScale(figures, width) {
  const fit = (across, up) => Math.min(width / across, DRAWING_HEIGHT / up);
  const tankHeight = Math.max(figures.water.value, figures.ice.value) * HEADROOM;
  const withPerson = fit(figures.diameter.value + PERSON_GAP_FEET + PERSON_WIDTH_FEET,
                         Math.max(tankHeight, PERSON_FEET));
  if (PERSON_FEET * withPerson >= PERSON_SMALLEST) {
    return {pixelsPerFoot: withPerson, person: true};
  }
  return {pixelsPerFoot: fit(figures.diameter.value, tankHeight), person: false};
}

// A length in pixels, drawn at least a pixel where it is not zero.
function drawn(pixels) {
  return pixels > 0 ? Math.max(pixels, SMALLEST_PART) : 0;
}

// The sentences that tell what a drawing is too small to show.
function smallParts(figures, pixelsPerFoot, person) {
  const notes = [];
  const parts = [
    [figures.diameter, 'The reservoir, ' + feet(figures.diameter.text) +
        ' across, is under a pixel wide at this scale, and is drawn a pixel wide.'],
    [figures.water, 'The water, ' + feet(figures.water.text) +
        ' deep, is under a pixel high at this scale, and is drawn a pixel high.'],
    [figures.ice, 'The frozen level, ' + feet(figures.ice.text) +
        ', is under a pixel high at this scale, and is drawn a pixel high.'],
  ];
  for (const [figure, sentence] of parts) {
    if (figure.value > 0 && figure.value * pixelsPerFoot < SMALLEST_PART) {
      notes.push(sentence);
    }
  }
  if (!(figures.water.value > 0)) {
    notes.push('The reservoir holds no water.');
  }
  if (!person) {
    notes.push('A person of six feet would be too small to show.');
  }
  return notes;
}

// Where each shape of the report's `figures` goes, in pixels, in a drawing
// at most `width` pixels wide: {reason} where there is no shape to draw.
function reservoirLayout(figures, width) {
  const reason = whyNotDrawn(figures);
  if (reason) {
    return {reason};
  }
  const {pixelsPerFoot, person} = drawingScale(figures, width - 2 * EDGE);
  const tankWidth = drawn(figures.diameter.value * pixelsPerFoot);
  const water = drawn(figures.water.value * pixelsPerFoot);
  const ice = drawn(figures.ice.value * pixelsPerFoot);
  const walls = Math.max(Math.max(water, ice) * HEADROOM, WALLS_SMALLEST);
  const personHeight = person ? PERSON_FEET * pixelsPerFoot : 0;
  const legendRows = person ? 4 : 3;
  const floor = LEGEND_ROW * legendRows + LEGEND_GAP + Math.max(walls, personHeight);
  const layout = {
    width,
    height: floor + EDGE,
    pixelsPerFoot,
    legendRows,
    tank: {x: EDGE, y: floor - walls, width: tankWidth, height: walls},
    water: {x: EDGE, y: floor - water, width: tankWidth, height: water},
    ice: {x: EDGE, y: floor - ice, width: tankWidth},
    person: null,
    label: 'A reservoir ' + feet(figures.diameter.text) + ' across, with ' +
        'water ' + feet(figures.water.text) + ' deep; frozen, the same water ' +
        'would stand ' + feet(figures.ice.text) + ' deep.' +
        (person ? ' A person of six feet stands beside it for scale.' : ''),
    caption: ['Drawn to scale: a pixel is ' + feet(asReportWrites(1 / pixelsPerFoot)) + '.']
      .concat(smallParts(figures, pixelsPerFoot, person)).join(' '),
  };
  if (person) {
    layout.person = {
      x: EDGE + tankWidth + PERSON_GAP_FEET * pixelsPerFoot,
      y: floor - personHeight,
      width: PERSON_WIDTH_FEET * pixelsPerFoot,
      height: personHeight,
    };
  }
  return layout;
}

function element(name, attributes, parent) {
  const made = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) {
    made.setAttribute(key, String(value));
  }
  parent.appendChild(made);
  return made;
}

const SWATCH = {x: 2, width: 14, height: 12};  // the legend's swatches
const LEGEND_TEXT_LEFT = 22;
const LEGEND_FONT = 13;
const BASELINE_DROP = 5;   // from a row's middle to its text's baseline

function legendRow(svg, row, text, swatch) {
  const y = LEGEND_ROW * row + LEGEND_ROW / 2;
  if (swatch) {
    element(swatch.name, swatch.attributes(y), svg);
  }
  element('text', {x: LEGEND_TEXT_LEFT, y: y + BASELINE_DROP,
                   'font-size': LEGEND_FONT, fill: '#1a1a1a'}, svg)
      .textContent = text;
}

// Fills `figure` with the drawing of the report's `figures`, or with the
// sentence that says why there is none, at no more than the width there is.
function drawReservoir(figure, figures) {
  figure.textContent = '';
  figure.hidden = false;
  const room = figure.parentElement.clientWidth;
  const layout = reservoirLayout(figures, Math.min(DRAWING_WIDTH, Math.floor(room)));
  const caption = document.createElement('figcaption');
  if (layout.reason) {
    caption.textContent = layout.reason;
    figure.appendChild(caption);
    return;
  }
  // One unit of the view box is one pixel on the screen.
  const svg = element('svg', {
    width: layout.width, height: layout.height,
    viewBox: '0 0 ' + layout.width + ' ' + layout.height,
    role: 'img', 'aria-label': layout.label,
  }, figure);

  legendRow(svg, 0, 'Diameter: ' + figures.diameter.text + ' ft', null);
  legendRow(svg, 1, 'Water: ' + figures.water.text + ' ft deep', {
    name: 'rect',
    attributes: (y) => ({...SWATCH, y: y - SWATCH.height / 2, ...WATER_STYLE}),
  });
  legendRow(svg, 2, 'Frozen: ' + figures.ice.text + ' ft', {
    name: 'line',
    attributes: (y) => ({x1: 0, y1: y, x2: 2 * SWATCH.x + SWATCH.width, y2: y, ...ICE_STYLE}),
  });
  if (layout.person) {
    legendRow(svg, 3, 'Person: ' + PERSON_FEET + ' ft', null);
  }

  if (layout.water.height > 0) {
    element('rect', {'data-part': 'water', ...layout.water, ...WATER_STYLE}, svg);
  }
  element('rect', {'data-part': 'tank', ...layout.tank, fill: 'none',
                   stroke: '#1a1a1a', 'stroke-width': 1,
                   'vector-effect': 'non-scaling-stroke'}, svg);
  const {ice} = layout;
  element('line', {'data-part': 'ice', x1: ice.x, y1: ice.y, x2: ice.x + ice.width,
                   y2: ice.y, ...ICE_STYLE}, svg);
  if (layout.person) {
    const body = layout.person;
    const head = body.height / 8;
    const person = element('g', {'data-part': 'person', fill: '#5d4037'}, svg);
    element('circle', {cx: body.x + body.width / 2, cy: body.y + head, r: head}, person);
    element('rect', {x: body.x, y: body.y + 2 * head, width: body.width,
                     height: body.height - 2 * head, rx: head / 2}, person);
  }
  caption.textContent = layout.caption;
  figure.appendChild(caption);
}
