// The browser build, driven through Debian's chromium (headless, software WebGL) with
// playwright-core. Serves the page's folder on 127.0.0.1 and reads the game's state
// through the page's test hook (window.orvendale), never the wall clock: every wait is
// on something the game or the page does, with a deadline only as a safety net.
//
//   node browser_test.mjs SITE [--expect DIR] [--desktop-shot PNG --shot-frame N]
//                              [--side-by-side OUT.png] [--only CASE]
//
// --expect DIR: DIR/NAME.txt holds the line the desktop printed checking replays/NAME;
// the page must print the same. --desktop-shot: the desktop's picture of frame N of
// focus_lost.orvr, which the page's picture of that frame must resemble.
import { chromium } from 'playwright-core';
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';

const args = process.argv.slice(2);
const site = path.resolve(args[0] || '');
const option = (name) => { const i = args.indexOf(name); return i >= 0 ? args[i + 1] : null; };
const only = option('--only');
const expectDir = option('--expect');
const desktopShot = option('--desktop-shot');
const shotFrame = +(option('--shot-frame') || 150);
const sideBySide = option('--side-by-side');
if (!fs.existsSync(path.join(site, 'index.html'))) {
  console.error('usage: node browser_test.mjs SITE_DIR [...] (no index.html in ' + site + ')');
  process.exit(2);
}

// --- a static server for the page's folder ------------------------------------------------
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.data': 'application/octet-stream', '.png': 'image/png' };
const here = path.dirname(new URL(import.meta.url).pathname);
const server = http.createServer((req, res) => {
  const url = new URL(req.url, 'http://localhost');
  // The yardstick page lives with the tests, not in the game's folder.
  const file = url.pathname === '/yardstick.html' ? path.join(here, 'yardstick.html')
    : path.join(site, decodeURIComponent(url.pathname));
  if ((!file.startsWith(site) && file !== path.join(here, 'yardstick.html')) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
    res.writeHead(404); res.end(); return;
  }
  res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
  fs.createReadStream(file).pipe(res);
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));
const base = `http://127.0.0.1:${server.address().port}/`;

const chromiumArgs = ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
  '--ignore-gpu-blocklist', '--autoplay-policy=no-user-gesture-required'];
const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true, args: chromiumArgs });

let failures = 0;
const fail = (what) => { failures++; console.log('FAIL: ' + what); };
const check = (ok, what) => { if (ok) console.log('ok: ' + what); else fail(what); };

async function newPage(width = 800, height = 600) {
  const context = await browser.newContext({ viewport: { width, height } });
  const page = await context.newPage();
  // The toolchain ends a program by throwing its exit status: not an error.
  page.on('pageerror', (e) => { if (e.name !== 'ExitStatus') fail('the page threw: ' + (e.stack || e)); });
  page.on('crash', () => fail('the page crashed (chromium\'s renderer went away)'));
  page.on('console', (m) => { if (m.type() === 'error') console.log('console: ' + m.text()); });
  return page;
}

// Polls `probe` in the page until it gives something truthy; null at the deadline.
async function until(page, probe, arg, seconds, what) {
  const deadline = Date.now() + seconds * 1000;
  for (;;) {
    const value = await page.evaluate(probe, arg);
    if (value) return value;
    if (Date.now() > deadline) { fail(`${what} (no sign of it after ${seconds} s)`); return null; }
    await new Promise((r) => setTimeout(r, 100));
  }
}

// The page's own animation frames: a measure of the page's time that is not the test's.
const animationFrames = (page, n) => page.evaluate((count) => new Promise((resolve) => {
  let seen = 0;
  const tick = () => { if (++seen >= count) resolve(); else requestAnimationFrame(tick); };
  requestAnimationFrame(tick);
}), n);
const frame = (page) => page.evaluate(() => window.orvendale.frame);

// --- the kept replays check exact in the page ---------------------------------------------
async function caseReplays() {
  const names = fs.readdirSync(path.join(site, 'replays')).filter((n) => n.endsWith('.orvr')).sort();
  check(names.length > 0, `kept replays to check (${names.join(', ')})`);
  for (const name of names) {
    const page = await newPage();
    await page.goto(base + 'index.html?check=' + encodeURIComponent(name));
    const exit = await until(page, () => window.orvendale.exitCode !== null &&
      { code: window.orvendale.exitCode }, null, 900, `${name}: the check ends`);
    const output = await page.evaluate(() => window.orvendale.output);
    const line = output.find((l) => l.startsWith('replays/' + name + ':')) || '(no line)';
    check(exit && exit.code === 0 && / exact, \d+ frames$/.test(line), `${name} in the page: ${line}`);
    if (expectDir) {
      const desktop = fs.readFileSync(path.join(expectDir, name + '.txt'), 'utf8').trim();
      check(line === desktop, `${name}: the page's line is the desktop's ("${desktop}")`);
    }
    await page.context().close();
  }
}

// --- a flight played in the page -----------------------------------------------------------
async function caseFlight() {
  const page = await newPage(800, 600);
  await page.goto(base + 'index.html');
  await until(page, () => window.orvendale.ready, null, 120, 'the page loads the game');
  check(await page.isVisible('#fly') && (await page.textContent('#fly')).includes('Click to fly'),
    'the cover says "Click to fly"');
  check(!(await page.evaluate(() => window.orvendale.started)), 'nothing starts before the click');
  await page.click('#fly');
  const first = await until(page, () => window.orvendale.frame, null, 120, 'the click starts the game');
  if (!first) return;
  check(await page.isHidden('#cover'), 'the cover goes once the game starts');
  check(await page.evaluate(() => Module.orvStandIn.audio !== null), 'the click made the sound\'s audio context');
  const size = await page.evaluate(() => [Module.canvas.width, Module.canvas.height]);
  check(size[0] === 800 && size[1] === 600, `the game's window is the page's size (${size})`);

  // The sound plays: the game's wave-out buffers go through the page's audio and come back done.
  const played = await until(page, () => Module.orvStandIn.buffersPlayed > 10 && Module.orvStandIn.buffersPlayed,
    null, 60, 'the game\'s sound plays in the page');
  if (played) check(true, `the sound plays: ${played} wave-out buffers played to their end`);

  // Steering: the pointer moves right, the world's offset follows it right.
  const before = await frame(page);
  await page.mouse.move(400, 300);
  for (let i = 0; i < 12; i++) {
    const f = (await frame(page)).frame;
    await page.mouse.move(400 + 15 * (i + 1), 300, { steps: 3 });
    await until(page, (n) => window.orvendale.frame.frame > n + 1, f, 60, 'frames go on while steering');
  }
  const moved = await until(page, (x) => window.orvendale.frame.worldX > x + 1 &&
    window.orvendale.frame, before.worldX, 60, 'the world\'s offset moves the pointer\'s way');
  if (moved) check(true, `steering right: world x ${before.worldX.toFixed(2)} -> ${moved.worldX.toFixed(2)}`);

  // P pauses: the game stops drawing and its clock stands; P again resumes.
  await page.keyboard.press('p');
  const paused = await until(page, async () => {
    const a = window.orvendale.frame.frame;
    await new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)));
    return window.orvendale.frame.frame === a && window.orvendale.frame;
  }, null, 60, 'P pauses');
  if (paused) {
    await animationFrames(page, 30);
    const still = await frame(page);
    check(still.frame === paused.frame && still.totalTime === paused.totalTime,
      `paused: no frame for 30 of the page's frames, game time held at ${paused.totalTime.toFixed(3)} s`);
    await page.keyboard.press('p');
    const resumed = await until(page, (n) => window.orvendale.frame.frame > n + 2 && window.orvendale.frame,
      paused.frame, 60, 'P resumes');
    if (resumed) check(resumed.totalTime > paused.totalTime, 'after P again the game time goes on');
  }

  // Escape gives the pointer back (where the browser gave it at all) and pauses; a click flies on.
  if (await page.evaluate(() => window.orvendale.locked)) {
    const f = (await frame(page)).frame;
    await page.keyboard.press('Escape');
    // A real browser lets the pointer go on Escape itself; headless chromium leaves that to
    // its window's user interface, which it has none of: do what it would.
    await animationFrames(page, 5);
    await page.evaluate(() => { if (document.pointerLockElement) document.exitPointerLock(); });
    const held = await until(page, async (n) => {
      const a = window.orvendale.frame.frame;
      await new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)));
      return !window.orvendale.locked && window.orvendale.frame.frame === a && a >= n;
    }, f, 60, 'Escape releases the pointer and pauses');
    if (held) {
      check(true, 'Escape gave the pointer back and paused the game');
      await page.mouse.click(400, 300);
      const on = await until(page, (n) => window.orvendale.frame.frame > n + 2, f, 60, 'a click resumes');
      // The capture comes with the browser's own event, after the click: waited for.
      if (on && await until(page, () => window.orvendale.locked, null, 10,
        'a click flies on, the pointer captured again')) {
        check(true, 'a click flies on, the pointer captured again');
      } else if (on) {
        console.log('  the browser said: ' + await page.evaluate(() => Module.orvStandIn.captureRefused));
      }
    }
  } else {
    console.log('note: this chromium gave the page no pointer capture; Escape is not tried');
  }

  // The energy runs out: the Game Over box is a dialog with the counts.
  const box = await until(page, () => window.orvendale.box, null, 600, 'the flight ends with the Game Over box');
  if (!box) return;
  const last = await frame(page);
  check(box.caption === 'Game Over', `the box's caption: "${box.caption}"`);
  const shown = await page.textContent('#message-box');
  const counts = last.collected.every((n) => shown.includes(String(n)));
  check(await page.isVisible('#message-box') && counts,
    `the dialog shows the counts ${last.collected.join(', ')}: "${shown.replace(/\s+/g, ' ').trim()}"`);
  await page.click('#message-box button');
  await until(page, () => !window.orvendale.box, null, 30, 'OK closes the box');

  // The results keep the flight in the table of bests, in the browser's storage.
  const kept = await until(page, () => {
    const p = FS.analyzePath('/play/best_flights.txt');
    return p.exists && !Module.orvStandIn.syncing && FS.readFile('/play/best_flights.txt', { encoding: 'utf8' });
  }, null, 60, 'the results write the table of bests');
  if (kept) {
    // The sleeping results wake for each pointer motion; the folder was kept once, when
    // they came, and is not kept again while nothing new is drawn.
    await until(page, () => !Module.orvStandIn.syncing, null, 30, 'the table is kept');
    const asleep = await page.evaluate(() => ({ waits: Module.orvStandIn.waits, saves: Module.orvStandIn.saves }));
    for (let i = 0; i < 20; i++) await page.mouse.move(100 + 10 * i, 200 + 5 * i);
    const woken = await until(page, (w) => Module.orvStandIn.waits >= w + 10 &&
      { waits: Module.orvStandIn.waits, saves: Module.orvStandIn.saves }, asleep.waits, 30,
      'the sleeping results wake for pointer motion');
    if (woken) check(woken.saves === asleep.saves,
      `woken ${woken.waits - asleep.waits} times with nothing drawn, the folder kept ${woken.saves - asleep.saves} times more (0)`);
    await animationFrames(page, 10);
    await until(page, () => !Module.orvStandIn.syncing, null, 30, 'the table is kept');
    await page.reload();
    await until(page, () => window.orvendale.ready, null, 120, 'the page loads again');
    const again = await page.evaluate(() => FS.analyzePath('/play/best_flights.txt').exists &&
      FS.readFile('/play/best_flights.txt', { encoding: 'utf8' }));
    check(again === kept, 'the table of bests survives a reload (IndexedDB)');
  }
  await page.context().close();
}

// --- the frame rate of a played flight, for the record ------------------------------------
async function caseFrameRate() {
  const page = await newPage(800, 600);
  await page.goto(base + 'index.html');
  await until(page, () => window.orvendale.ready, null, 120, 'the page loads the game');
  await page.click('#fly');
  if (!(await until(page, () => window.orvendale.frame && window.orvendale.frame.frame > 30, null, 120,
    'the game draws'))) return;
  const rate = await page.evaluate(() => new Promise((resolve) => {
    const f0 = window.orvendale.frame.frame, t0 = performance.now();
    setTimeout(() => resolve((window.orvendale.frame.frame - f0) * 1000 / (performance.now() - t0)), 5000);
  }));
  await page.context().close();
  // In the same run, hand-written WebGL drawing only the landscape's load.
  const bare = await newPage(800, 600);
  await bare.goto(base + 'yardstick.html');
  const bareRate = await bare.evaluate(() => new Promise((resolve) => {
    const f0 = window.yardstick.frames, t0 = performance.now();
    setTimeout(() => resolve((window.yardstick.frames - f0) * 1000 / (performance.now() - t0)), 5000);
  }));
  await bare.context().close();
  console.log(`measured: the game ${rate.toFixed(1)} frames a second at 800x600 in headless chromium ` +
    `(software WebGL); hand-written WebGL drawing only the landscape's lines ${bareRate.toFixed(1)}`);
}

// --- without WebGL the page says so ----------------------------------------------------------
async function caseNoWebGL() {
  const plain = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true, args: ['--no-sandbox', '--disable-webgl', '--disable-3d-apis'] });
  const page = await (await plain.newContext()).newPage();
  await page.goto(base + 'index.html');
  await page.waitForLoadState('load');
  check(await page.isVisible('#no-webgl') && await page.isHidden('#cover'),
    'without WebGL the page says so instead of showing a blank canvas');
  await plain.close();
}

// --- the same picture as the desktop's ------------------------------------------------------
async function casePicture() {
  if (!desktopShot) { fail('no desktop picture given (--desktop-shot)'); return; }
  const page = await newPage(800, 600);
  await page.goto(base + `index.html?check=focus_lost.orvr&shot=${shotFrame}`);
  const web = await until(page, () => window.orvendale.shot, null, 600, `the page keeps frame ${shotFrame}`);
  if (!web) return;
  const desktop = 'data:image/png;base64,' + fs.readFileSync(desktopShot).toString('base64');
  // Both pictures as grids of 20x20-pixel cells: the mean brightness and the mean colour.
  const result = await page.evaluate(async ([a, b]) => {
    const load = (src) => new Promise((resolve) => { const i = new Image(); i.onload = () => resolve(i); i.src = src; });
    const grid = (img) => {
      const c = document.createElement('canvas');
      c.width = img.width; c.height = img.height;
      const g = c.getContext('2d');
      g.drawImage(img, 0, 0);
      const d = g.getImageData(0, 0, c.width, c.height).data;
      const cols = Math.floor(c.width / 20), rows = Math.floor(c.height / 20);
      const cells = [];
      for (let r = 0; r < rows; r++) for (let q = 0; q < cols; q++) {
        let s = [0, 0, 0];
        for (let y = r * 20; y < r * 20 + 20; y++) for (let x = q * 20; x < q * 20 + 20; x++) {
          const i = (y * c.width + x) * 4;
          s[0] += d[i]; s[1] += d[i + 1]; s[2] += d[i + 2];
        }
        cells.push(s.map((v) => v / 400 / 255));
      }
      return { cols, rows, cells, width: c.width, height: c.height };
    };
    const [ga, gb] = [grid(await load(a)), grid(await load(b))];
    return { web: ga, desktop: gb };
  }, [web, desktop]);
  const { web: w, desktop: d } = result;
  check(w.width === d.width && w.height === d.height, `the same size (${w.width}x${w.height}, desktop ${d.width}x${d.height})`);
  if (w.width !== d.width || w.height !== d.height) return;
  const lum = (c) => 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
  // Lit where the desktop is lit: each cell bright on the desktop is bright in the page.
  const lit = d.cells.map((c, i) => [lum(c) > 0.08, lum(w.cells[i]) > 0.04]);
  const litDesktop = lit.filter(([a]) => a).length;
  const both = lit.filter(([a, b]) => a && b).length;
  check(litDesktop > 20 && both >= 0.85 * litDesktop,
    `the page lights ${both} of the ${litDesktop} cells the desktop lights`);
  // Named parts, by cell rectangles: where each is lit on the desktop, it is in the page.
  const region = (g, x0, y0, x1, y1) => {
    let s = 0, n = 0;
    for (let r = Math.floor(y0 / 20); r < Math.ceil(y1 / 20); r++)
      for (let q = Math.floor(x0 / 20); q < Math.ceil(x1 / 20); q++) { s += lum(g.cells[r * g.cols + q]); n++; }
    return s / n;
  };
  const W = w.width, H = w.height;
  const parts = {
    'the countdown (top centre)': [W * 0.4, 0, W * 0.6, H * 0.15],
    'the frame rate (top right)': [W * 0.8, 0, W, H * 0.08],
    'the energy and time bars (left edge)': [0, H * 0.03, W * 0.12, H * 0.95],
    'the counters and their objects (bottom right)': [W * 0.65, H * 0.75, W, H],
    'the ship (the middle)': [W * 0.42, H * 0.4, W * 0.6, H * 0.65],
    'the tubes (the whole picture)': [0, 0, W, H],
  };
  for (const [name, [x0, y0, x1, y1]] of Object.entries(parts)) {
    const a = region(d, x0, y0, x1, y1), b = region(w, x0, y0, x1, y1);
    if (a < 0.02) { console.log(`note: ${name} is dark on the desktop too (${a.toFixed(3)})`); continue; }
    check(b > 0.5 * a && b < 2 * a, `${name}: lit in the page (${b.toFixed(3)}) as on the desktop (${a.toFixed(3)})`);
  }
  if (sideBySide) fs.writeFileSync(sideBySide, Buffer.from(web.split(',')[1], 'base64'));
  await page.context().close();
}

const cases = { replays: caseReplays, flight: caseFlight, framerate: caseFrameRate,
  'no-webgl': caseNoWebGL, picture: casePicture };
for (const [name, run] of Object.entries(cases)) {
  if (only && only !== name) continue;
  console.log(`== ${name}`);
  try { await run(); } catch (e) { fail(`${name}: ${e.stack || e}`); }
}
await browser.close();
server.close();
console.log(failures ? `${failures} FAILED` : 'PASS');
process.exit(failures ? 1 : 0);
