// Where the drawing of a report's reservoir puts each shape: an upright
// cylinder seen from the side, as wide as its diameter, the water at its
// liquid depth, the level the same water reaches frozen, and a person of
// six feet beside it where one shows, with the legend and the caption.
// In the pixels the drawing is shown in, from the lines the program
// printed; pure, so that the page draws it and a test under node checks it.
const DRAWING_WIDTH = 300; // CSS pixels at most: fits a 360-pixel screen
const DRAWING_HEIGHT = 260; // at most, for the shapes
const EDGE = 1; // room for the walls' stroke on every side
const LEGEND_ROW = 20; // pixels for each line of the legend
const LEGEND_GAP = 6; // between the legend and the shapes
const PERSON_FEET = 6;
const PERSON_GAP_FEET = 2; // between the reservoir and the person
const PERSON_WIDTH_FEET = 2;
const PERSON_SMALLEST = 4; // pixels tall, below which no person shows
const SMALLEST_PART = 1; // pixels: a part any smaller is drawn this size
const WALLS_SMALLEST = 4; // pixels: an empty reservoir still shows walls
const HEADROOM = 1.1; // the walls rise a tenth above the higher level
const SIGNIFICANT_DIGITS = 6; // as the report writes its figures

// The report's lines that give the drawing its figures.
const LABELS = {
  diameter: 'Diameter of resiviour: ',
  water: 'Height of water if liquid: ',
  ice: 'Height of frozen water: ',
};

// The six significant digits that C's printf keeps of `value`, rounded
// to nearest with ties to even, and the power of ten of the first. An
// exact tie shows in the digits far past the sixth, where JavaScript's
// own rounding, which takes ties away from zero, would differ.
function significant(value) {
  const [rounded, exponent] = value.toExponential(SIGNIFICANT_DIGITS - 1).split('e');
  const [exact, exactExponent] = value.toExponential(SIGNIFICANT_DIGITS + 30).split('e');
  const kept = exact.slice(0, rounded.length);
  if (/^5(0*)$/.test(exact.slice(rounded.length)) && Number(kept.slice(-1)) % 2 === 0) {
    return {
      sign: value < 0 ? '-' : '',
      digits: kept.replace(/[-.]/g, ''),
      exponent: Number(exactExponent),
    };
  }
  return {
    sign: value < 0 ? '-' : '',
    digits: rounded.replace(/[-.]/g, ''),
    exponent: Number(exponent),
  };
}

// A length as the report writes its figures: in the "%g" form of C's
// printf, with no zeros trailing its fraction.
function asReportWrites(value) {
  const {sign, digits, exponent} = significant(value);
  const withPoint = (whole, fraction) => {
    const trimmed = fraction.replace(/0+$/, '');
    return sign + whole + (trimmed === '' ? '' : '.' + trimmed);
  };
  if (exponent < -4 || exponent >= SIGNIFICANT_DIGITS) {
    return (
      withPoint(digits[0], digits.slice(1)) +
      'e' +
      (exponent < 0 ? '-' : '+') +
      String(Math.abs(exponent)).padStart(2, '0')
    );
  }
  if (exponent >= 0) {
    return withPoint(digits.slice(0, exponent + 1), digits.slice(exponent + 1));
  }
  return withPoint('0', '0'.repeat(-exponent - 1) + digits);
}

// "1 foot", "2 feet": a length as printed, with its unit.
function feet(text) {
  return text + (text === '1' || text === '-1' ? ' foot' : ' feet');
}

// The diameter and the two depths of a report, each as printed and as a
// number (inf and nan as NaN); null until the report's last line is there.
function figuresOf(output) {
  const figures = {};
  for (const [name, label] of Object.entries(LABELS)) {
    const line = output
      .split('\n')
      .find((text, at, lines) => text.startsWith(label) && at < lines.length - 1);
    if (line === undefined) {
      return null;
    }
    const text = line.slice(label.length).split(' ')[0];
    figures[name] = {text, value: Number(text)};
  }
  return figures;
}

// Why the figures give no shape, or '' where they do.
function whyNotDrawn(figures) {
  if (!(figures.diameter.value > 0)) {
    return (
      'No reservoir is drawn: a diameter of ' + feet(figures.diameter.text) + ' gives it no width.'
    );
  }
  for (const depth of [figures.water, figures.ice]) {
    if (!Number.isFinite(depth.value)) {
      return (
        'No reservoir is drawn: a depth of ' +
        feet(depth.text) +
        ' has no height that can be drawn.'
      );
    }
    if (depth.value < 0) {
      return (
        'No reservoir is drawn: a depth of ' + feet(depth.text) + ' would lie below its floor.'
      );
    }
  }
  return '';
}

// Pixels per foot that fit the shapes into `width` pixels across,
// unstretched, and whether the person shows: only where it is tall
// enough at the scale that makes room for it.
function drawingScale(figures, width) {
  const fit = (across, up) => Math.min(width / across, DRAWING_HEIGHT / up);
  const tankHeight = Math.max(figures.water.value, figures.ice.value) * HEADROOM;
  const withPerson = fit(
    figures.diameter.value + PERSON_GAP_FEET + PERSON_WIDTH_FEET,
    Math.max(tankHeight, PERSON_FEET),
  );
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
    [
      figures.diameter,
      'The reservoir, ' +
        feet(figures.diameter.text) +
        ' across, is under a pixel wide at this scale, and is drawn a pixel wide.',
    ],
    [
      figures.water,
      'The water, ' +
        feet(figures.water.text) +
        ' deep, is under a pixel high at this scale, and is drawn a pixel high.',
    ],
    [
      figures.ice,
      'The frozen level, ' +
        feet(figures.ice.text) +
        ', is under a pixel high at this scale, and is drawn a pixel high.',
    ],
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

// The legend's rows, top down, each with the swatch it shows, if any.
function legend(figures, person) {
  const rows = [
    {text: 'Diameter: ' + figures.diameter.text + ' ft', swatch: null},
    {text: 'Water: ' + figures.water.text + ' ft deep', swatch: 'water'},
    {text: 'Frozen: ' + figures.ice.text + ' ft', swatch: 'ice'},
  ];
  if (person) {
    rows.push({text: 'Person: ' + PERSON_FEET + ' ft', swatch: null});
  }
  return rows.map((row, at) => ({...row, top: at * LEGEND_ROW, height: LEGEND_ROW}));
}

// Every shape's box, in pixels from the drawing's top left corner, for
// the report's `figures` in a drawing at most `width` pixels wide; or
// {reason} where there is no shape to draw. The water has no box where
// there is none, the frozen level is a line (a box of no height), and
// the person has a box where one shows.
function layOut(figures, width) {
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
  const rows = legend(figures, person);
  const floor = rows.length * LEGEND_ROW + LEGEND_GAP + Math.max(walls, personHeight);
  return {
    width,
    height: floor + EDGE,
    pixelsPerFoot,
    legend: rows,
    tank: {x: EDGE, y: floor - walls, width: tankWidth, height: walls},
    water: water > 0 ? {x: EDGE, y: floor - water, width: tankWidth, height: water} : null,
    ice: {x: EDGE, y: floor - ice, width: tankWidth, height: 0},
    person: person
      ? {
          x: EDGE + tankWidth + PERSON_GAP_FEET * pixelsPerFoot,
          y: floor - personHeight,
          width: PERSON_WIDTH_FEET * pixelsPerFoot,
          height: personHeight,
        }
      : null,
    label:
      'A reservoir ' +
      feet(figures.diameter.text) +
      ' across, with ' +
      'water ' +
      feet(figures.water.text) +
      ' deep; frozen, the same water ' +
      'would stand ' +
      feet(figures.ice.text) +
      ' deep.' +
      (person ? ' A person of six feet stands beside it for scale.' : ''),
    caption: ['Drawn to scale: a pixel is ' + feet(asReportWrites(1 / pixelsPerFoot)) + '.']
      .concat(smallParts(figures, pixelsPerFoot, person))
      .join(' '),
  };
}

export {DRAWING_WIDTH, DRAWING_HEIGHT, LABELS, asReportWrites, figuresOf, layOut};
