// Serves a folder on 127.0.0.1 as a plain static host does: files 30 days
// old, with their Last-Modified and no Cache-Control, the folder's own
// address as its index.html. Options: `page`, bytes served in place of
// index.html; `gzip`, every file sent compressed, as a host may send it.
// On the server it gives: `mode` is what goes wrong: 'hang' accepts and
// never answers, 'error' answers 500, 'refuse' drops the connection;
// `release`, the folder of a later build, whose files are served in place
// of the folder's own; `missing`, a path answered 404; `held`, a promise,
// holds the page back after its field and status, before its scripts,
// until it settles. The manual comes late.
import {existsSync, readFileSync} from 'node:fs';
import {createServer} from 'node:http';
import {extname, join} from 'node:path';
import {setTimeout as sleep} from 'node:timers/promises';
import {gzipSync} from 'node:zlib';

const MANUAL_DELAY = 3000; // ms, longer than the first run takes

const TYPES = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
  '.md': 'text/plain',
  '.txt': 'text/plain',
};

export function serve(siteDir, {page = null, gzip = false} = {}) {
  const modified = new Date(Date.now() - 30 * 24 * 60 * 60 * 1000).toUTCString();
  const compressed = new Map(); // each file gzipped once, as a host keeps it
  const server = createServer(async (request, response) => {
    if (server.mode === 'hang') {
      return;
    }
    if (server.mode === 'refuse') {
      request.socket.destroy();
      return;
    }
    if (server.mode === 'error') {
      response.writeHead(500).end();
      return;
    }
    const path = new URL(request.url, 'http://host').pathname.replace(/\/$/, '/index.html');
    const root =
      server.release && existsSync(join(server.release, path)) ? server.release : siteDir;
    const file = join(root, decodeURIComponent(path));
    if (!file.startsWith(root) || !existsSync(file) || path === server.missing) {
      response.writeHead(404).end();
      return;
    }
    let body = page && path === '/index.html' ? page : readFileSync(file);
    if (path === '/water_calculator.html') {
      await sleep(MANUAL_DELAY); // a worker that keeps it must wait for it
    }
    const headers = {
      'content-type': TYPES[extname(file)] || 'application/octet-stream',
      'last-modified': modified,
    };
    if (gzip) {
      response.writeHead(200, {...headers, 'content-encoding': 'gzip'});
      if (!compressed.has(path)) {
        compressed.set(path, gzipSync(body, {level: 9}));
      }
      response.end(compressed.get(path));
      return;
    }
    response.writeHead(200, headers);
    const scripts = body.indexOf('<script', body.indexOf('id="status"'));
    if (server.held && path === '/index.html' && scripts > 0) {
      response.write(body.subarray(0, scripts));
      await server.held;
      body = body.subarray(scripts);
    }
    response.end(body);
  });
  return new Promise((ready) => server.listen(0, '127.0.0.1', () => ready(server)));
}
