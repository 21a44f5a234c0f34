// Draws the page's icon, a reservoir with water in it on a blue ground, as
// a PNG file SIZE pixels square: the same bytes on every run. The ground
// fills the square, and the reservoir stays within its middle four fifths,
// so that a launcher may cut the icon to any shape.
//
// Arguments: the size, the PNG file to write, the ground's colour as #rrggbb.
import {writeFileSync} from 'node:fs';
import {crc32, deflateSync} from 'node:zlib';

const [size, path] = [Number(process.argv[2]), process.argv[3]];
const GROUND = process.argv[4].match(/[0-9a-f]{2}/gi).map((pair) => parseInt(pair, 16));
const SAMPLES = 4; // per pixel and direction, for smooth edges

const WALL = [255, 255, 255];
const WATER = [79, 195, 247];

// The colour at (x, y), both from 0 to 1 across the icon.
function colour(x, y) {
  const [left, right, top, floor, wall] = [0.3, 0.7, 0.26, 0.72, 0.045];
  const inside = x > left + wall && x < right - wall && y < floor - wall;
  if (x >= left && x <= right && y >= top && y <= floor && !inside) {
    return WALL;
  }
  if (inside && y > 0.44) {
    return WATER;
  }
  return GROUND;
}

function pixels() {
  const rows = [];
  for (let row = 0; row < size; row++) {
    const line = [0]; // each row starts with its filter type, none
    for (let column = 0; column < size; column++) {
      const sum = [0, 0, 0];
      for (let i = 0; i < SAMPLES * SAMPLES; i++) {
        const x = (column + ((i % SAMPLES) + 0.5) / SAMPLES) / size;
        const y = (row + (Math.floor(i / SAMPLES) + 0.5) / SAMPLES) / size;
        colour(x, y).forEach((value, channel) => {
          sum[channel] += value;
        });
      }
      line.push(...sum.map((value) => Math.round(value / (SAMPLES * SAMPLES))));
    }
    rows.push(Buffer.from(line));
  }
  return Buffer.concat(rows);
}

function chunk(type, data) {
  const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const check = Buffer.alloc(4);
  check.writeUInt32BE(crc32(body));
  return Buffer.concat([length, body, check]);
}

const header = Buffer.alloc(13);
header.writeUInt32BE(size, 0);
header.writeUInt32BE(size, 4);
header[8] = 8; // bits per channel
header[9] = 2; // red, green and blue
writeFileSync(
  path,
  Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header),
    chunk('IDAT', deflateSync(pixels(), {level: 9})),
    chunk('IEND', Buffer.alloc(0)),
  ]),
);
