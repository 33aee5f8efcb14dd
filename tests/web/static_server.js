// A folder on 127.0.0.1, as any static file server serves it: each file
// with the time it last changed, "not modified" to a browser that has it.
// `served` is read and steered by the caller: `offline` stands for a phone
// in a lift (nothing answers), `requests` lists every request's path,
// `downloads` counts the bodies sent for each and `bytes` their total.
// `pages` are extra paths answered with fixed HTML.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const kTypes = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.png': 'image/png',
                 '.webmanifest': 'application/manifest+json' };

function serveFolder(folder, served, pages = {}) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/$/, '/index.html');
    served.requests.push(name);
    if (pages[name] !== undefined && !served.offline) {
      response.writeHead(200, { 'Content-Type': kTypes['.html'] });
      response.end(pages[name]);
      return;
    }
    const file = path.join(folder, path.basename(name));
    if (served.offline || !kTypes[path.extname(file)] || !fs.existsSync(file)) {
      response.writeHead(served.offline ? 503 : 404);
      response.end();
      return;
    }
    const changed = fs.statSync(file).mtime.toUTCString();
    if (request.headers['if-modified-since'] === changed) {
      response.writeHead(304);
      response.end();
      return;
    }
    const body = fs.readFileSync(file);
    served.downloads[name] = (served.downloads[name] || 0) + 1;
    served.bytes += body.length;
    response.writeHead(200, { 'Content-Type': kTypes[path.extname(file)], 'Cache-Control': 'no-cache',
                              'Last-Modified': changed });
    response.end(body);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

module.exports = { serveFolder };
