// Serves a folder (the built page, build/web/site, by default) on 127.0.0.1
// and prints its address: `node web/serve.mjs [folder] [port]`. Port 0, the
// default, takes any free one. The tests and the benchmark start it the same
// way, in their own process.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.ico': 'image/x-icon',
};

// Resolves with the server's address once it listens. What the page's tests
// do to the page before it loads, they do here, the same for every browser:
//   first    a script's text, run before any of the page's own
//   hold     a promise: the program (plim-module.js) is sent once it settles
//   missing  paths answered 404, as if they were not there
// Every request answered 400 or over is kept in `failed`.
export function serve(folder, { port = 0, first, hold, missing = [] } = {}) {
  const root = resolve(folder);
  const failed = [];
  const answer = (response, status, path) => {
    if (status >= 400) failed.push(path);
    response.writeHead(status).end();
  };
  const server = createServer(async (request, response) => {
    const path = new URL(request.url, 'http://localhost').pathname;
    const file = normalize(join(root, path === '/' ? 'index.html' : path));
    if (!file.startsWith(root)) return answer(response, 403, path);
    if (missing.includes(path)) return answer(response, 404, path);
    if (hold && path === '/plim-module.js') await hold;
    try {
      let body = await readFile(file);
      if (first && extname(file) === '.html') {
        body = body.toString().replace('<head>', `<head><script>${first}</script>`);
      }
      response.writeHead(200, { 'Content-Type': TYPES[extname(file)] || 'application/octet-stream' });
      response.end(body);
    } catch {
      answer(response, 404, path);
    }
  });
  return new Promise((done) => {
    server.listen(port, '127.0.0.1', () => {
      const close = () => {
        server.close();
        server.closeAllConnections();
      };
      done({ url: `http://127.0.0.1:${server.address().port}/`, failed, close });
    });
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const here = fileURLToPath(new URL('.', import.meta.url));
  const folder = process.argv[2] || join(here, '..', 'build', 'web', 'site');
  const { url } = await serve(folder, Number(process.argv[3] || 0));
  console.log(`Plim is served at ${url} (Ctrl-C stops it)`);
}
