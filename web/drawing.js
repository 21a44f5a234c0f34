// The drawing of a report's reservoir, as SVG, from its layout
// (reservoir_layout.js), one unit of its view box to one pixel on the screen.
import {DRAWING_WIDTH, layOut} from './reservoir_layout.js';

const SVG = 'http://www.w3.org/2000/svg';
const TEXT_COLOUR = 'currentColor'; // the page's, light or dark
const WATER_STYLE = {fill: '#4a9fe0'};
const ICE_STYLE = {stroke: '#0a5b8c', 'stroke-width': 2, 'stroke-dasharray': '4 2'};
const PERSON_COLOUR = '#5d4037';
const HEAD_SHARE = 1 / 8; // of the person's height, the head's radius
const LEGEND_FONT = 13;
// In each row of the legend: the swatch, then the text, whose baseline
// sits below the row's middle by about a third of the font's size.
const SWATCH = {x: 2, width: 14, height: 12};
const LEGEND_TEXT_X = 22;
const BASELINE_DROP = 5;

function element(name, attributes, parent) {
  const made = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) {
    made.setAttribute(key, String(value));
  }
  parent.appendChild(made);
  return made;
}

function legendRow(svg, row) {
  const middle = row.top + row.height / 2;
  if (row.swatch === 'water') {
    element('rect', {...SWATCH, y: middle - SWATCH.height / 2, ...WATER_STYLE}, svg);
  } else if (row.swatch === 'ice') {
    element(
      'line',
      {x1: 0, y1: middle, x2: SWATCH.x * 2 + SWATCH.width, y2: middle, ...ICE_STYLE},
      svg,
    );
  }
  element(
    'text',
    {x: LEGEND_TEXT_X, y: middle + BASELINE_DROP, 'font-size': LEGEND_FONT, fill: TEXT_COLOUR},
    svg,
  ).textContent = row.text;
}

function person(svg, box) {
  const head = box.height * HEAD_SHARE;
  const group = element('g', {'data-part': 'person', fill: PERSON_COLOUR}, svg);
  element('circle', {cx: box.x + box.width / 2, cy: box.y + head, r: head}, group);
  element(
    'rect',
    {x: box.x, y: box.y + 2 * head, width: box.width, height: box.height - 2 * head, rx: head / 2},
    group,
  );
}

// Fills `figure` with the drawing of the report's `figures`, or with the
// sentence that says why there is none, no wider than the room there is.
function draw(figure, figures) {
  figure.textContent = '';
  figure.hidden = false;
  const room = Math.floor(figure.parentElement.clientWidth);
  const layout = layOut(figures, Math.min(DRAWING_WIDTH, room));
  const caption = document.createElement('figcaption');
  caption.textContent = layout.reason || layout.caption;
  if (!layout.reason) {
    const svg = element(
      'svg',
      {
        width: layout.width,
        height: layout.height,
        viewBox: `0 0 ${layout.width} ${layout.height}`,
        role: 'img',
        'aria-label': layout.label,
      },
      figure,
    );
    layout.legend.forEach((row) => legendRow(svg, row));
    element(
      'rect',
      {
        'data-part': 'tank',
        ...layout.tank,
        fill: 'none',
        stroke: TEXT_COLOUR,
        'stroke-width': 1,
        'vector-effect': 'non-scaling-stroke',
      },
      svg,
    );
    const {ice} = layout;
    element(
      'line',
      {'data-part': 'ice', x1: ice.x, y1: ice.y, x2: ice.x + ice.width, y2: ice.y, ...ICE_STYLE},
      svg,
    );
    // Last, so that water a pixel deep shows over the frozen level's
    // wider line, which still shows above it, and over the floor.
    if (layout.water) {
      element('rect', {'data-part': 'water', ...layout.water, ...WATER_STYLE}, svg);
    }
    if (layout.person) {
      person(svg, layout.person);
    }
  }
  figure.appendChild(caption);
}

export {draw};
