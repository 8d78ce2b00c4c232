// Loads the replay viewer in headless Chromium and checks what it draws against the snapshots.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const viewerDir = path.resolve(here, '..');
const samplePath = path.join(viewerDir, 'sample-run.jsonl');
const outDir = path.join(here, 'out');
const browserPath = process.env.CHROMIUM || '/usr/bin/chromium';

const sampleLines = fs.readFileSync(samplePath, 'utf8').split('\n').filter((line) => line !== '');
const sampleSnaps = sampleLines.map((line) => JSON.parse(line));

let server;
let baseUrl;
let fixtureDir;
let userDataDir;
let context;
const pageErrors = [];
const dialogs = [];

function mimeOf(file) {
  if (file.endsWith('.html')) return 'text/html; charset=utf-8';
  if (file.endsWith('.js')) return 'text/javascript; charset=utf-8';
  if (file.endsWith('.css')) return 'text/css; charset=utf-8';
  return 'text/plain; charset=utf-8';
}

// Serves the viewer directory, and the test's own files under /fixtures/.
function startServer() {
  return new Promise((resolve) => {
    const srv = http.createServer((req, res) => {
      const url = new URL(req.url, 'http://127.0.0.1');
      const name = decodeURIComponent(url.pathname);
      const root = name.startsWith('/fixtures/') ? fixtureDir : viewerDir;
      const rel = name.startsWith('/fixtures/') ? name.slice('/fixtures/'.length) : name.slice(1) || 'index.html';
      const file = path.resolve(root, rel);
      if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
        res.writeHead(404, { 'content-type': 'text/plain' });
        res.end('not found');
        return;
      }
      res.writeHead(200, { 'content-type': mimeOf(file), 'cache-control': 'no-store' });
      fs.createReadStream(file).pipe(res);
    });
    srv.listen(0, '127.0.0.1', () => resolve(srv));
  });
}

async function openViewer(query) {
  const page = await context.newPage();
  page.on('pageerror', (err) => pageErrors.push(String(err)));
  page.on('dialog', async (dialog) => { dialogs.push(dialog.message()); await dialog.dismiss(); });
  await page.goto(baseUrl + '/index.html' + (query || ''));
  if (query) await page.waitForSelector('body[data-loaded]');
  return page;
}

async function counts(page) {
  return page.evaluate(() => {
    const plan = document.getElementById('plan');
    const n = (kind) => plan.querySelectorAll('[data-kind="' + kind + '"]').length;
    return { wall: n('wall'), door: n('door'), cargo: n('cargo'), actor: n('actor'), plate: n('plate'), trajectory: n('trajectory') };
  });
}

function expectedCounts(snap) {
  return {
    wall: snap.walls.length, door: snap.doors.length, cargo: snap.cargo.length, actor: 1 + snap.echoes.length,
    plate: snap.plates.length, trajectory: snap.trajectory.length > 0 ? 1 : 0,
  };
}

async function goTo(page, index) {
  await page.evaluate((i) => window.vantrelViewer.show(i), index);
  assert.equal(await page.getAttribute('body', 'data-frame'), String(index));
}

before(async () => {
  fixtureDir = fs.mkdtempSync(path.join(os.tmpdir(), 'viewer-fixtures-'));
  userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'viewer-profile-'));
  server = await startServer();
  baseUrl = 'http://127.0.0.1:' + server.address().port;
  context = await chromium.launchPersistentContext(userDataDir, {
    executablePath: browserPath,
    headless: true,
    viewport: { width: 1400, height: 900 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  fs.mkdirSync(outDir, { recursive: true });
});

after(async () => {
  if (context) await context.close();
  if (server) server.close();
  fs.rmSync(fixtureDir, { recursive: true, force: true });
  fs.rmSync(userDataDir, { recursive: true, force: true });
});

test('the sample run has frames with an echo, an open door and a message', () => {
  assert.ok(sampleSnaps.length > 10);
  assert.ok(sampleSnaps.some((s) => s.echoes.length > 0), 'an echo');
  assert.ok(sampleSnaps.some((s) => s.doors.some((d) => d.open)), 'an open door');
  assert.ok(sampleSnaps.some((s) => s.message !== ''), 'a message');
});

test('stepping the timeline draws every wall, door, cargo and actor of the frame', async () => {
  const page = await openViewer('?src=sample-run.jsonl');
  assert.equal(await page.getAttribute('body', 'data-frames'), String(sampleSnaps.length));
  assert.equal(await page.getAttribute('body', 'data-bad-lines'), '0');
  assert.deepEqual(await counts(page), expectedCounts(sampleSnaps[0]));
  assert.equal(await page.textContent('#title'), sampleSnaps[0].title);

  for (let i = 1; i <= 5; i += 1) {
    await page.click('#step');
    assert.equal(await page.getAttribute('body', 'data-frame'), String(i));
  }
  assert.deepEqual(await counts(page), expectedCounts(sampleSnaps[5]));
  await page.click('#step-back');
  assert.equal(await page.getAttribute('body', 'data-frame'), '4');

  const withEcho = sampleSnaps.findIndex((s) => s.echoes.length > 0);
  const withTrajectory = sampleSnaps.findIndex((s) => s.trajectory.length > 0);
  for (const i of [withEcho, withTrajectory, sampleSnaps.length - 1].filter((k) => k >= 0)) {
    await goTo(page, i);
    assert.deepEqual(await counts(page), expectedCounts(sampleSnaps[i]), 'frame ' + i);
  }
  await goTo(page, withTrajectory);
  assert.equal(await page.getAttribute('#plan [data-kind="trajectory"]', 'data-points'), String(sampleSnaps[withTrajectory].trajectory.length));
  assert.equal(await page.getAttribute('#plan [data-kind="actor"][data-role="player"]', 'data-held'), String(sampleSnaps[withTrajectory].player.held));
  await page.screenshot({ path: path.join(outDir, 'holding.png') });
  assert.deepEqual(pageErrors, []);
  await page.close();
});

test('an open door is drawn open and a closed one solid', async () => {
  const page = await openViewer('?src=sample-run.jsonl');
  const openWithEcho = sampleSnaps.findIndex((s) => s.echoes.length > 0 && s.doors.some((d) => d.open));
  const openAt = openWithEcho >= 0 ? openWithEcho : sampleSnaps.findIndex((s) => s.doors.some((d) => d.open));
  const closedAt = sampleSnaps.findIndex((s) => s.doors.some((d) => !d.open));
  const doorIndex = sampleSnaps[openAt].doors.findIndex((d) => d.open);
  const look = (i) => page.evaluate((k) => {
    const door = document.querySelector('#plan [data-kind="door"][data-index="' + k + '"]');
    const frame = door.querySelector('.door-frame');
    return { open: door.dataset.open, fill: getComputedStyle(frame).fill, leaves: door.querySelectorAll('.door-leaf').length };
  }, i);

  await goTo(page, openAt);
  const open = await look(doorIndex);
  assert.equal(open.open, 'true');
  assert.equal(open.leaves, 1);
  const label = await page.evaluate(() => [...document.querySelectorAll('#plan .door-label.open')].map((t) => t.textContent).join('|'));
  assert.match(label, /OPEN/);

  const closedIndex = sampleSnaps[closedAt].doors.findIndex((d) => !d.open);
  await goTo(page, closedAt);
  const closed = await look(closedIndex);
  assert.equal(closed.open, 'false');
  assert.equal(closed.leaves, 0);
  assert.notEqual(closed.fill, open.fill);

  // A frame with the door held open by the echo and the cargo in the air, for a person to look at.
  const flying = sampleSnaps.findIndex((s, k) => k >= openAt && s.echoes.length > 0 && s.cargo.some((c) => c.owner === -1 && c.pos[1] > 1.5));
  await goTo(page, flying >= 0 ? flying : openAt);
  await page.screenshot({ path: path.join(outDir, 'viewer.png') });
  await page.close();
});

test('the message, the interaction prompt and the time of a frame are shown', async () => {
  const page = await openViewer('?src=sample-run.jsonl');
  const at = sampleSnaps.findIndex((s) => s.message !== '');
  await goTo(page, at);
  assert.equal(await page.textContent('#message'), sampleSnaps[at].message);
  const prompt = sampleSnaps[at].interaction === '' ? '—' : sampleSnaps[at].interaction;
  assert.equal(await page.textContent('#interaction'), prompt);
  assert.match(await page.textContent('#time'), / s \/ \d+ s$/);
  await page.close();
});

test('the timeline marks committed loops and wins', async () => {
  const page = await openViewer('?src=sample-run.jsonl');
  const commits = [];
  const wins = [];
  sampleSnaps.forEach((s, i) => {
    const p = sampleSnaps[i - 1];
    if (p && s.level === p.level && s.time < p.time && s.echoes.length > p.echoes.length) commits.push(String(i));
    if (s.won && !(p && p.won)) wins.push(String(i));
  });
  assert.ok(commits.length > 0, 'the sample commits a loop');
  const marks = (kind) => page.evaluate((k) => [...document.querySelectorAll('[data-mark="' + k + '"]')].map((m) => m.dataset.frame), kind);
  assert.deepEqual(await marks('commit'), commits);
  assert.deepEqual(await marks('won'), wins);
  await page.click('[data-mark="commit"]');
  assert.equal(await page.getAttribute('body', 'data-frame'), commits[0]);
  await page.close();
});

function runSeconds(from, to) {
  let total = 0;
  for (let i = from; i < to; i += 1) {
    const a = sampleSnaps[i];
    const b = sampleSnaps[i + 1];
    const delta = b.time - a.time;
    total += a.level === b.level && delta > 0 && delta <= 0.25 ? delta : 1 / 60;
  }
  return total;
}

test('play advances at real speed and pause stops', async () => {
  const page = await openViewer('?src=sample-run.jsonl');
  await page.click('#play');
  assert.equal(await page.getAttribute('#play', 'data-playing'), 'true');
  await page.click('#play');
  assert.equal(await page.getAttribute('#play', 'data-playing'), 'false');
  await goTo(page, 0);

  const startedAt = await page.evaluate(() => { window.vantrelViewer.play(); return performance.now(); });
  await page.waitForTimeout(700);
  const stop = await page.evaluate(() => {
    const frame = window.vantrelViewer.state.index;
    window.vantrelViewer.pause();
    return { frame, now: performance.now() };
  });
  const elapsed = (stop.now - startedAt) / 1000;
  const played = runSeconds(0, stop.frame);
  assert.ok(stop.frame > 3, 'advanced to frame ' + stop.frame);
  assert.ok(played <= elapsed + 0.05, 'played ' + played + ' s of run time in ' + elapsed + ' s');
  assert.ok(played >= elapsed * 0.5, 'played ' + played + ' s of run time in ' + elapsed + ' s');
  await page.waitForTimeout(200);
  assert.equal(await page.getAttribute('body', 'data-frame'), String(stop.frame));
  await page.close();
});

function fixture(name) {
  return fs.readFileSync(path.join(here, 'fixtures', name), 'utf8').split('\n').filter((line) => line !== '').map((line) => JSON.parse(line));
}

async function planTexts(page) {
  return page.evaluate(() => [...document.querySelectorAll('#plan text')].map((t) => t.textContent));
}

test('the two floors of the terminal show their heights, the lift and the consoles', async () => {
  const snaps = fixture('terminal.jsonl');
  const snap = snaps[snaps.length - 1];
  const page = await openViewer('?src=tests/fixtures/terminal.jsonl');
  await page.click('#last');
  assert.deepEqual(await counts(page), expectedCounts(snap));
  const texts = await planTexts(page);
  assert.ok(texts.some((t) => t.startsWith('GOAL ↑4.84 m')), 'goal height');
  assert.ok(texts.some((t) => t === '▲4.4–4.8 m'), 'gallery slab heights');
  const raised = snap.walls.filter((w) => w.pos[1] - w.size[1] / 2 > 0.05 && w.pos[1] - w.size[1] / 2 < snap.room_height - 0.01).length;
  assert.equal(await page.locator('#plan [data-kind="wall"][data-role="raised"]').count(), raised);
  assert.equal(await page.getAttribute('#plan [data-kind="lift"]', 'data-height'), String(snap.lift.height));
  assert.equal(await page.locator('#plan [data-kind="lift-control"]').count(), 2);
  assert.equal(await page.locator('#plan [data-kind="gravity-control"]').count(), snap.gravity_controls.length);
  assert.ok(await page.locator('#side [data-kind="side-wall"]').count() > 0);
  await page.screenshot({ path: path.join(outDir, 'terminal.png') });
  await page.close();
});

test('a player who jumped onto the lunar deck is drawn at the deck height', async () => {
  const snaps = fixture('lunar-deck.jsonl');
  const last = snaps[snaps.length - 1];
  assert.equal(last.player.pos[1], 2, 'the recording ends on the deck');
  const page = await openViewer('?src=tests/fixtures/lunar-deck.jsonl');
  await page.click('#last');
  const texts = await planTexts(page);
  assert.ok(texts.some((t) => t.startsWith('player ↑2 m')), 'player height in its label');
  assert.ok(texts.some((t) => t === '▲2 m'), 'deck height');
  assert.ok(texts.some((t) => t.startsWith('GOAL ↑2.04 m')), 'goal on the deck');
  assert.ok(await page.locator('.flag', { hasText: 'low gravity' }).count() === 1);
  const body = await page.evaluate(() => document.querySelector('#side .actor.player .body').getAttribute('x'));
  assert.equal(body, '2');
  await page.screenshot({ path: path.join(outDir, 'lunar-deck.png') });
  await page.close();
});

test('device states are drawn as the snapshot says', async () => {
  const snap = JSON.parse(sampleLines[0]);
  snap.fans = [
    { pos: [5, 1.3, -1.5], dir: [-1, 0, 0], active: false, label: 'Обдув / E' },
    { pos: [-5, 1.3, -1.5], dir: [0, 0, 1], active: true, label: 'ПРОДУВКА · E' },
  ];
  snap.sockets = [{ pos: [5, 0.38, 3], powered: true, label: 'ГНЕЗДО БАТАРЕИ' }];
  snap.plates.push({ pos: [4, 0.03, 2.9], radius: 1.18, active: true, label: 'M · ВЕСЫ', load_required: 2.3500001, load_maximum: 2.45, load: 2.4 });
  snap.cargo.push(
    { id: 1, pos: [5, 0.38, 3], vel: [0, 0, 0], size: [0.72, 0.52, 0.72], owner: -1, label: 'Батарея шлюза', kind: 0, style: 'battery', docked: true, delivered: false },
    { id: 2, pos: [0, 0.56, -10], vel: [0, 0, 0], size: [0.62, 1.12, 0.62], owner: -1, label: 'Кислородный баллон', kind: 1, style: 'oxygen', docked: false, delivered: true },
  );
  snap.won = true;
  fs.writeFileSync(path.join(fixtureDir, 'devices.jsonl'), JSON.stringify(snap) + '\n');
  const page = await openViewer('?src=/fixtures/devices.jsonl');
  const attr = (sel, name) => page.getAttribute('#plan ' + sel, name);
  assert.equal(await attr('[data-kind="fan"][data-index="0"]', 'data-active'), 'false');
  assert.equal(await attr('[data-kind="fan"][data-index="1"]', 'data-active'), 'true');
  assert.equal(await attr('[data-kind="socket"]', 'data-powered'), 'true');
  assert.equal(await attr('[data-kind="plate"][data-index="1"]', 'data-scale'), 'true');
  assert.equal(await attr('[data-kind="plate"][data-index="1"]', 'data-active'), 'true');
  assert.equal(await attr('[data-kind="cargo"][data-id="1"]', 'data-docked'), 'true');
  assert.equal(await attr('[data-kind="cargo"][data-id="2"]', 'data-delivered'), 'true');
  assert.equal(await attr('[data-kind="cargo"][data-id="2"]', 'data-deliver'), 'true');
  assert.equal(await attr('[data-kind="cargo"][data-id="1"]', 'data-deliver'), 'false');
  const texts = (await planTexts(page)).join('\n');
  assert.match(texts, /Обдув \/ E · off/);
  assert.match(texts, /ПРОДУВКА · E · ON/);
  assert.match(texts, /ГНЕЗДО БАТАРЕИ ⚡ powered/);
  assert.match(texts, /load 2\.4 т, needs 2\.35–2\.45 т/);
  assert.match(texts, /docked/);
  assert.match(texts, /★ Кислородный баллон.*delivered ✓/);
  assert.equal(await page.getAttribute('#status', 'data-state'), 'won');
  assert.equal(await page.textContent('#status'), 'WON');
  await page.close();
});

test('the wheel zooms the scene and a double-click fits the room again', async () => {
  const page = await openViewer('?src=sample-run.jsonl');
  const width = () => page.evaluate(() => document.getElementById('scene').viewBox.baseVal.width);
  const fitted = await width();
  const box = await page.locator('#scene').boundingBox();
  await page.mouse.move(box.x + box.width / 3, box.y + box.height / 2);
  await page.mouse.wheel(0, -400);
  await page.waitForFunction((w) => document.getElementById('scene').viewBox.baseVal.width < w, fitted);
  await page.click('#step');
  assert.ok(await width() < fitted, 'the zoom survives a step');
  await page.mouse.dblclick(box.x + box.width / 3, box.y + box.height / 2);
  assert.equal(await width(), fitted);
  await page.close();
});

test('a malformed or truncated line is named and the other lines still show', async () => {
  const good = sampleLines.slice(0, 6);
  const lines = [good[0], good[1], good[2].slice(0, Math.floor(good[2].length / 2)), good[3], '{"not":"a snapshot"}', good[4], good[5]];
  fs.writeFileSync(path.join(fixtureDir, 'bad.jsonl'), lines.join('\n') + '\n');
  const page = await openViewer('?src=/fixtures/bad.jsonl');
  assert.equal(await page.getAttribute('body', 'data-frames'), '5');
  const errors = await page.evaluate(() => [...document.querySelectorAll('#errors [data-kind="error"]')].map((e) => [e.dataset.line, e.textContent]));
  assert.deepEqual(errors.map((e) => e[0]), ['3', '5']);
  assert.match(errors[0][1], /^line 3: malformed JSON/);
  assert.match(errors[1][1], /^line 5: missing key/);
  assert.match(await page.textContent('#notice'), /2 bad lines/);
  await page.click('#last');
  assert.match(await page.textContent('#frame-info'), /line 7/);
  assert.deepEqual(await counts(page), expectedCounts(JSON.parse(good[5])));
  await page.close();
});

test('an empty file says so', async () => {
  const page = await openViewer('');
  const empty = path.join(fixtureDir, 'empty.jsonl');
  fs.writeFileSync(empty, '');
  await page.setInputFiles('#file', empty);
  await page.waitForSelector('body[data-loaded]');
  assert.equal(await page.getAttribute('#notice', 'data-state'), 'empty');
  assert.match(await page.textContent('#notice'), /empty/);
  assert.equal(await page.getAttribute('body', 'data-frames'), '0');
  assert.equal(await page.textContent('#source'), 'empty.jsonl');
  await page.close();
});

test('labels that look like markup are shown as text', async () => {
  const evil = '<img src=x onerror=alert(1)>';
  const snap = JSON.parse(sampleLines[0]);
  snap.cargo[0].label = evil;
  snap.title = evil;
  snap.message = evil;
  if (snap.doors.length > 0) snap.doors[0].label = evil;
  snap.walls.push({ pos: [0, 0.5, 0], size: [1, 1, 1], label: evil });
  fs.writeFileSync(path.join(fixtureDir, 'evil.jsonl'), JSON.stringify(snap) + '\n');
  const page = await openViewer('?src=/fixtures/evil.jsonl');
  assert.equal(await page.textContent('#title'), evil);
  assert.equal(await page.textContent('#message'), evil);
  const texts = await page.evaluate(() => [...document.querySelectorAll('#plan text')].map((t) => t.textContent));
  assert.ok(texts.some((t) => t.includes(evil)), 'cargo label drawn as text');
  assert.equal(await page.evaluate(() => document.querySelectorAll('img').length), 0);
  await page.waitForTimeout(100);
  assert.deepEqual(dialogs, []);
  await page.close();
});

test('a missing ?src file is reported', async () => {
  const page = await openViewer('?src=/fixtures/nowhere.jsonl');
  assert.equal(await page.getAttribute('#notice', 'data-state'), 'error');
  assert.match(await page.textContent('#notice'), /Could not load .*nowhere\.jsonl: HTTP 404/);
  await page.close();
});

test('no script error was raised on any page', () => {
  assert.deepEqual(pageErrors, []);
});
