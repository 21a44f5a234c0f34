// The reservoir of a report, drawn to scale from the lines the program
// printed: an upright cylinder seen from the side, as wide as its
// diameter, the water at its liquid depth, the level the same water
// reaches frozen, and a person of six feet beside it where one shows.
var DRAWING_WIDTH = 300;   // CSS pixels: fits a 360-pixel screen
var DRAWING_HEIGHT = 260;  // at most, for the shapes
var LEGEND_ROW = 20;       // pixels for each line of the legend
var PERSON_FEET = 6;
var PERSON_GAP_FEET = 2;   // between the reservoir and the person
var PERSON_WIDTH_FEET = 2;
var PERSON_SMALLEST = 4;   // pixels tall, below which no person shows
var HEADROOM = 1.1;        // the walls rise a tenth above the higher level
var SVG = 'http://www.w3.org/2000/svg';
var WATER_STYLE = {fill: '#4a9fe0'};
var ICE_STYLE = {stroke: '#0a5b8c', 'stroke-width': 2, 'stroke-dasharray': '4 2'};

// A figure as the report writes it, in the "%g" form or inf, -inf, nan.
function reportNumber(text) {
  var named = {'inf': Infinity, '-inf': -Infinity, 'nan': NaN};
  return text in named ? named[text] : Number(text);
}

// The diameter and the two depths of a report, each as printed and as a
// number; null until the report's last line is there.
function reportFigures(output) {
  function figure(pattern) {
    var found = pattern.exec(output);
    return found && {text: found[1], value: reportNumber(found[1])};
  }
  var figures = {
    diameter: figure(/^Diameter of resiviour: (\S+)\n/m),
    water: figure(/^Height of water if liquid: (\S+) feet\n/m),
    ice: figure(/^Height of frozen water: (\S+) feet\n/m),
  };
  return figures.diameter && figures.water && figures.ice ? figures : null;
}

// Why the figures give no shape, or '' where they do.
function whyNotDrawn(figures) {
  if (!(figures.diameter.value > 0)) {
    return 'No reservoir is drawn: a diameter of ' + figures.diameter.text +
        ' feet gives it no width.';
  }
  var depths = [figures.water, figures.ice];
  for (var i = 0; i < depths.length; i++) {
    if (!isFinite(depths[i].value)) {
      return 'No reservoir is drawn: a depth of ' + depths[i].text +
          ' feet has no height that can be drawn.';
    }
    if (depths[i].value < 0) {
      return 'No reservoir is drawn: a depth of ' + depths[i].text +
          ' feet would lie below its floor.';
    }
  }
  return '';
}

// Pixels per foot that fit the shapes into the drawing, unstretched, and
// whether the person is tall enough to show beside the reservoir.
function drawingScale(figures) {
  var width = figures.diameter.value;
  var height = Math.max(figures.water.value, figures.ice.value) * HEADROOM;
  var scale = Math.min(DRAWING_WIDTH / width, DRAWING_HEIGHT / height);
  if (PERSON_FEET * scale < PERSON_SMALLEST) {
    return {pixelsPerFoot: scale, person: false};
  }
  width += PERSON_GAP_FEET + PERSON_WIDTH_FEET;
  height = Math.max(height, PERSON_FEET);
  return {
    pixelsPerFoot: Math.min(DRAWING_WIDTH / width, DRAWING_HEIGHT / height),
    person: true,
  };
}

function element(name, attributes, parent) {
  var made = document.createElementNS(SVG, name);
  Object.keys(attributes).forEach(function (key) {
    made.setAttribute(key, String(attributes[key]));
  });
  parent.appendChild(made);
  return made;
}

function legendRow(svg, row, text, swatch) {
  var y = LEGEND_ROW * row + LEGEND_ROW / 2;
  if (swatch) {
    element(swatch.name, swatch.attributes(y), svg);
  }
  element('text', {x: 22, y: y + 5, 'font-size': 13, fill: '#1a1a1a'}, svg)
      .textContent = text;
}

// The sentences that tell what a drawing is too small to show.
function underAPixel(figures, pixelsPerFoot, person) {
  var notes = [];
  var parts = [
    [figures.diameter.value, 'The reservoir, ' + figures.diameter.text +
        ' feet across, is under a pixel wide at this scale.'],
    [figures.water.value, 'The water, ' + figures.water.text +
        ' feet deep, is under a pixel high at this scale.'],
    [figures.ice.value, 'The frozen level, ' + figures.ice.text +
        ' feet, is under a pixel high at this scale.'],
  ];
  parts.forEach(function (part) {
    if (part[0] * pixelsPerFoot < 1) {
      notes.push(part[1]);
    }
  });
  if (!person) {
    notes.push('A person of six feet would be too small to show.');
  }
  return notes;
}

// Fills `figure` with the drawing of the report's `figures`, or with the
// sentence that says why there is none.
function drawReservoir(figure, figures) {
  figure.textContent = '';
  figure.hidden = false;
  var caption = document.createElement('figcaption');
  var reason = whyNotDrawn(figures);
  if (reason) {
    caption.textContent = reason;
    figure.appendChild(caption);
    return;
  }
  var scale = drawingScale(figures);
  var feet = scale.pixelsPerFoot;
  var tankWidth = figures.diameter.value * feet;
  var water = figures.water.value * feet;
  var ice = figures.ice.value * feet;
  var walls = Math.max(water, ice) * HEADROOM;
  var legendRows = scale.person ? 4 : 3;
  var floor = LEGEND_ROW * legendRows + 6 + Math.max(walls, scale.person ? PERSON_FEET * feet : 0);
  var svg = element('svg', {
    width: DRAWING_WIDTH + 2, height: floor + 4,
    viewBox: '-1 0 ' + (DRAWING_WIDTH + 2) + ' ' + (floor + 4),
    role: 'img',
  }, figure);
  var summary = 'A reservoir ' + figures.diameter.text + ' feet across, with ' +
      'water ' + figures.water.text + ' feet deep; frozen, the same water ' +
      'would stand ' + figures.ice.text + ' feet deep.' +
      (scale.person ? ' A person of six feet stands beside it for scale.' : '');
  svg.setAttribute('aria-label', summary);

  legendRow(svg, 0, 'Diameter: ' + figures.diameter.text + ' ft', null);
  legendRow(svg, 1, 'Water: ' + figures.water.text + ' ft deep', {
    name: 'rect',
    attributes: function (y) {
      return Object.assign({x: 2, y: y - 6, width: 14, height: 12}, WATER_STYLE);
    },
  });
  legendRow(svg, 2, 'Frozen: ' + figures.ice.text + ' ft', {
    name: 'line',
    attributes: function (y) {
      return Object.assign({x1: 0, y1: y, x2: 18, y2: y}, ICE_STYLE);
    },
  });
  if (scale.person) {
    legendRow(svg, 3, 'Person: ' + PERSON_FEET + ' ft', null);
  }

  element('rect', Object.assign({'data-part': 'water', x: 0, y: floor - water,
                                 width: tankWidth, height: water}, WATER_STYLE), svg);
  element('rect', {'data-part': 'tank', x: 0, y: floor - walls,
                   width: tankWidth, height: walls, fill: 'none',
                   stroke: '#1a1a1a', 'stroke-width': 1,
                   'vector-effect': 'non-scaling-stroke'}, svg);
  element('line', Object.assign({'data-part': 'ice', x1: 0, y1: floor - ice,
                                 x2: tankWidth, y2: floor - ice}, ICE_STYLE), svg);
  if (scale.person) {
    var left = tankWidth + PERSON_GAP_FEET * feet;
    var head = PERSON_FEET * feet / 8;
    element('circle', {cx: left + PERSON_WIDTH_FEET * feet / 2,
                       cy: floor - PERSON_FEET * feet + head, r: head,
                       fill: '#5d4037'}, svg);
    element('rect', {'data-part': 'person', x: left,
                     y: floor - PERSON_FEET * feet + 2 * head,
                     width: PERSON_WIDTH_FEET * feet,
                     height: PERSON_FEET * feet - 2 * head, rx: head / 2,
                     fill: '#5d4037'}, svg);
  }

  caption.textContent = ['Drawn to scale: a pixel is ' +
      Number((1 / feet).toPrecision(3)) + ' feet.']
      .concat(underAPixel(figures, feet, scale.person)).join(' ');
  figure.appendChild(caption);
}
