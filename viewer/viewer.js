// Replay viewer for snapshot streams: one snapshot JSON object per line.
// Every text from the file reaches the page through textContent only.
'use strict';

(function () {
  const SVG_NS = 'http://www.w3.org/2000/svg';
  const DEFAULT_FRAME_SECONDS = 1 / 60;
  const LONGEST_FRAME_SECONDS = 0.25;
  const ACTOR_RADIUS = 0.3;
  const ACTOR_HEIGHT = 1.75;
  const ON_FLOOR = 0.05;

  const STYLE_COLORS = {
    freight: '#c98b3c', oxygen: '#4c9be8', battery: '#e6c229', antenna: '#9aa5b1',
    samples: '#8d6e63', bio: '#66bb6a', cryo: '#80deea', ballast: '#616161',
    toolkit: '#ef6c00', coil: '#ab47bc', canister: '#26a69a', helmet: '#eceff1',
  };

  // ---------- parsing ----------

  const REQUIRED = [
    ['title', 'string'], ['time', 'number?'], ['limit', 'number?'], ['player', 'object'],
    ['echoes', 'array'], ['cargo', 'array'], ['walls', 'array'], ['plates', 'array'],
    ['doors', 'array'], ['fans', 'array'], ['sockets', 'array'], ['room_size', 'array'],
    ['goal', 'array'], ['goal_size', 'array'], ['trajectory', 'array'],
  ];

  function kindOf(value) {
    if (value === null) return 'null';
    if (Array.isArray(value)) return 'array';
    return typeof value;
  }

  function snapshotProblem(doc) {
    if (kindOf(doc) !== 'object') return 'not a snapshot object (found ' + kindOf(doc) + ')';
    for (const [key, want] of REQUIRED) {
      if (!(key in doc)) return 'missing key "' + key + '"';
      const got = kindOf(doc[key]);
      const ok = want === 'number?' ? (got === 'number' || got === 'null') : got === want;
      if (!ok) return 'key "' + key + '" is ' + got + ', expected ' + want.replace('?', ' or null');
    }
    for (const key of ['echoes', 'cargo', 'walls', 'plates', 'doors', 'fans', 'sockets']) {
      const bad = doc[key].findIndex((item) => kindOf(item) !== 'object');
      if (bad >= 0) return key + '[' + bad + '] is not an object';
    }
    return null;
  }

  // Splits a run file into frames and bad lines; line numbers are 1-based.
  function parseRun(text) {
    const frames = [];
    const errors = [];
    const lines = text.split('\n');
    if (lines.length > 0 && lines[lines.length - 1] === '') lines.pop();
    const blankOnly = lines.every((line) => line.trim() === '');
    if (blankOnly) return { frames, errors, empty: true };
    lines.forEach((raw, index) => {
      const line = raw.endsWith('\r') ? raw.slice(0, -1) : raw;
      const number = index + 1;
      if (line.trim() === '') {
        errors.push({ line: number, message: 'empty line' });
        return;
      }
      let doc;
      try {
        doc = JSON.parse(line);
      } catch (err) {
        const hint = line.trimEnd().endsWith('}') ? '' : ' (line looks truncated)';
        errors.push({ line: number, message: 'malformed JSON: ' + err.message + hint });
        return;
      }
      const problem = snapshotProblem(doc);
      if (problem) {
        errors.push({ line: number, message: problem });
        return;
      }
      frames.push({ line: number, snap: doc });
    });
    return { frames, errors, empty: false };
  }

  // Where the run restarted, was committed, won, failed or changed room.
  function timelineMarks(frames) {
    const marks = [];
    frames.forEach((frame, i) => {
      const cur = frame.snap;
      const prev = i > 0 ? frames[i - 1].snap : null;
      if (prev) {
        if (cur.level !== prev.level) {
          marks.push({ frame: i, kind: 'room', text: 'room ' + cur.level });
        } else if (isNum(cur.time) && isNum(prev.time) && cur.time < prev.time) {
          if (cur.echoes.length > prev.echoes.length) {
            marks.push({ frame: i, kind: 'commit', text: 'loop committed (echo ' + cur.echoes.length + ')' });
          } else if (cur.echoes.length < prev.echoes.length) {
            marks.push({ frame: i, kind: 'restart', text: 'loop restarted, records dropped' });
          } else {
            marks.push({ frame: i, kind: 'restart', text: 'loop restarted' });
          }
        }
      }
      if (cur.won === true && !(prev && prev.won === true)) marks.push({ frame: i, kind: 'won', text: 'won' });
      if (cur.failed === true && !(prev && prev.failed === true)) marks.push({ frame: i, kind: 'failed', text: 'failed' });
      if (cur.finished === true && !(prev && prev.finished === true)) marks.push({ frame: i, kind: 'finished', text: 'finished' });
    });
    return marks;
  }

  // Real time from frame i to frame i + 1: the snapshot clock when it moves forward, else 1/60 s.
  function frameSeconds(frames, i) {
    if (i + 1 >= frames.length) return DEFAULT_FRAME_SECONDS;
    const a = frames[i].snap;
    const b = frames[i + 1].snap;
    if (a.level === b.level && isNum(a.time) && isNum(b.time)) {
      const delta = b.time - a.time;
      if (delta > 0 && delta <= LONGEST_FRAME_SECONDS) return delta;
    }
    return DEFAULT_FRAME_SECONDS;
  }

  // ---------- small helpers ----------

  function isNum(v) {
    return typeof v === 'number' && Number.isFinite(v);
  }

  function num(v, fallback) {
    return isNum(v) ? v : (fallback === undefined ? 0 : fallback);
  }

  function vec(v) {
    const a = Array.isArray(v) ? v : [];
    return [num(a[0]), num(a[1]), num(a[2])];
  }

  function fmt(v, digits) {
    if (!isNum(v)) return '—';
    const d = digits === undefined ? 2 : digits;
    const text = v.toFixed(d);
    const short = text.indexOf('.') >= 0 ? text.replace(/0+$/, '').replace(/\.$/, '') : text;
    return short === '-0' ? '0' : short;
  }

  function fmtVec(v) {
    const a = Array.isArray(v) ? v : [];
    return '(' + fmt(a[0]) + ', ' + fmt(a[1]) + ', ' + fmt(a[2]) + ')';
  }

  function text(v) {
    return typeof v === 'string' ? v : '';
  }

  function svg(tag, attrs, parent) {
    const el = document.createElementNS(SVG_NS, tag);
    for (const [k, v] of Object.entries(attrs || {})) {
      if (v !== undefined && v !== null) el.setAttribute(k, String(v));
    }
    if (parent) parent.appendChild(el);
    return el;
  }

  function html(tag, className, content, parent) {
    const el = document.createElement(tag);
    if (className) el.className = className;
    if (content !== undefined && content !== null) el.textContent = String(content);
    if (parent) parent.appendChild(el);
    return el;
  }

  function clear(el) {
    while (el.firstChild) el.removeChild(el.firstChild);
  }

  // Touches the page only when the text changes, so an unchanged panel is not laid out again.
  function setText(el, value) {
    if (el.textContent !== value) el.textContent = value;
  }

  // Rows of plain text cells; rows are reused and only changed cells are written.
  function fillRows(body, rows) {
    while (body.rows.length > rows.length) body.deleteRow(-1);
    rows.forEach((row, r) => {
      let tr = body.rows[r];
      if (!tr) {
        tr = html('tr', '', null, body);
        row.cells.forEach((cell) => html('td', cell.cls, null, tr));
      }
      if (tr.className !== row.cls) tr.className = row.cls;
      row.cells.forEach((cell, c) => setText(tr.cells[c], cell.text));
    });
  }

  function actorName(index) {
    return index === 0 ? 'P' : 'E' + index;
  }

  function cargoLabel(snap, id) {
    const c = snap.cargo.find((item) => item.id === id);
    return c ? text(c.label) : 'cargo ' + id;
  }

  function heightNote(y) {
    return isNum(y) && y > ON_FLOOR ? ' ↑' + fmt(y) + ' m' : '';
  }

  // ---------- the scene: plan and elevation share the z axis ----------

  const PLAN_MARGIN = 1.2;
  const ELEVATION_GAP = 1.6;

  // Scene bounds in scene units (metres): the plan, then the elevation to its right.
  function sceneBox(snap) {
    const W = num(snap.room_size[0], 20);
    const D = num(snap.room_size[1], 28);
    const H = num(snap.room_height, 5);
    const sideLeft = W / 2 + PLAN_MARGIN + ELEVATION_GAP;
    return {
      W, D, H, sideLeft,
      x: -W / 2 - PLAN_MARGIN, y: -D / 2 - PLAN_MARGIN - 0.8,
      w: W + 2 * PLAN_MARGIN + ELEVATION_GAP + H + 1.2, h: D + 2 * PLAN_MARGIN + 0.8,
    };
  }

  function labelAt(layer, x, z, lines, cls, fontSize) {
    const shown = lines.filter((line) => line !== '');
    const t = svg('text', { x: fmt(x, 3), y: fmt(z, 3), class: 'label ' + (cls || ''), 'font-size': fmt(fontSize, 3) }, layer);
    shown.forEach((line, i) => {
      const span = svg('tspan', { x: fmt(x, 3), dy: i === 0 ? 0 : fmt(fontSize * 1.15, 3) }, t);
      span.textContent = line;
    });
    return t;
  }

  // Puts a block of lines so that its last line sits just above z.
  function labelAbove(layer, x, z, lines, cls, fontSize) {
    const count = lines.filter((line) => line !== '').length;
    return labelAt(layer, x, z - fontSize * 0.35 - (count - 1) * fontSize * 1.15, lines, cls, fontSize);
  }

  function boxRect(parent, pos, size, attrs) {
    const [x, , z] = vec(pos);
    const [w, , d] = vec(size);
    return svg('rect', Object.assign({
      x: fmt(x - w / 2, 4), y: fmt(z - d / 2, 4), width: fmt(Math.abs(w), 4), height: fmt(Math.abs(d), 4),
    }, attrs), parent);
  }

  function wallRole(wall, roomHeight) {
    const [, y] = vec(wall.pos);
    const [, h] = vec(wall.size);
    const bottom = y - h / 2;
    const top = y + h / 2;
    if (bottom >= roomHeight - 0.01) return 'ceiling';
    if (bottom > ON_FLOOR) return 'raised';
    if (top >= roomHeight - 0.01) return 'full';
    return 'low';
  }

  function wallShade(top, roomHeight) {
    const t = Math.max(0, Math.min(1, top / Math.max(roomHeight, 0.1)));
    const light = Math.round(80 - t * 50);
    return 'hsl(215, 14%, ' + light + '%)';
  }

  function liftPowered(snap) {
    const plate = snap.plates[num(snap.lift.plate, -1)];
    return Boolean(plate) && plate.active === true;
  }

  // What stays put during a run: floor, walls and goal.
  function drawPlanStatic(layer, snap, box, fs) {
    clear(layer);
    const { W, D, H } = box;
    const labels = svg('g', { class: 'labels' });
    const plan = layer;

    svg('rect', { x: -W / 2, y: -D / 2, width: W, height: D, class: 'floor', 'data-kind': 'floor' }, plan);
    if (Array.isArray(snap.spawn)) {
      const [sx, , sz] = vec(snap.spawn);
      svg('path', { d: 'M' + (sx - 0.3) + ' ' + sz + 'h0.6M' + sx + ' ' + (sz - 0.3) + 'v0.6', class: 'spawn', 'data-kind': 'spawn' }, plan);
    }

    // Walls, lowest first so that tall pieces stay visible; the ceiling is an outline only.
    const walls = snap.walls.map((wall, i) => ({ wall, i, top: vec(wall.pos)[1] + vec(wall.size)[1] / 2 }));
    walls.sort((a, b) => a.top - b.top || a.i - b.i);
    walls.forEach(({ wall, i, top }) => {
      const role = wallRole(wall, H);
      const rect = boxRect(plan, wall.pos, wall.size, {
        class: 'wall ' + role, 'data-kind': 'wall', 'data-index': i, 'data-role': role, 'data-top': fmt(top),
      });
      if (role !== 'ceiling') rect.style.fill = wallShade(top, H);
      const [x, y, z] = vec(wall.pos);
      const [w, h, d] = vec(wall.size);
      if (role !== 'ceiling' && role !== 'full' && Math.min(w, d) >= 0.9) {
        const bottom = y - h / 2;
        const note = role === 'raised' ? '▲' + fmt(bottom) + '–' + fmt(top) + ' m' : '▲' + fmt(top) + ' m';
        labelAt(labels, x, z + d / 2 - fs * 0.3, [note], 'wall-label', fs * 0.8);
      }
    });

    // Goal area, above any deck it lies on.
    boxRect(plan, snap.goal, snap.goal_size, { class: 'goal', 'data-kind': 'goal', 'data-height': fmt(vec(snap.goal)[1]) });
    const [gx, gy, gz] = vec(snap.goal);
    labelAt(labels, gx, gz + fs * 0.35, ['GOAL' + heightNote(gy)], 'goal-label', fs);
    layer.appendChild(labels);
  }

  function drawPlan(plan, snap, box, fs) {
    clear(plan);
    const labels = svg('g', { class: 'labels' });

    // Plates and scales.
    snap.plates.forEach((plate, i) => {
      const [x, y, z] = vec(plate.pos);
      const r = num(plate.radius, 0.9);
      const scale = num(plate.load_required) > 0 || isNum(plate.load_maximum);
      svg('circle', {
        cx: fmt(x, 3), cy: fmt(z, 3), r: fmt(r, 3),
        class: 'plate' + (plate.active === true ? ' on' : '') + (scale ? ' scale' : ''),
        'data-kind': 'plate', 'data-index': i, 'data-active': String(plate.active === true), 'data-scale': String(scale),
      }, plan);
      const lines = [text(plate.label) + (plate.active === true ? ' ● pressed' : ' ○') + heightNote(y - 0.03)];
      if (scale) {
        const window = isNum(plate.load_maximum)
          ? fmt(plate.load_required) + '–' + fmt(plate.load_maximum)
          : '≥ ' + fmt(plate.load_required);
        lines.push('load ' + fmt(plate.load) + ' т, needs ' + window + ' т');
      }
      labelAt(labels, x, z + r + fs, lines, 'plate-label', fs * 0.9);
    });

    // Lift platform and its call consoles.
    if (kindOf(snap.lift) === 'object') {
      const lift = snap.lift;
      const [cx, , cz] = vec(lift.center);
      const [, , sd] = vec(lift.size);
      const powered = liftPowered(snap);
      boxRect(plan, lift.center, lift.size, {
        class: 'lift' + (powered ? ' powered' : ''), 'data-kind': 'lift',
        'data-height': fmt(lift.height), 'data-target-up': String(lift.target_up === true),
      });
      labelAt(labels, cx, cz + sd / 2 + fs, [
        'LIFT ' + fmt(lift.height) + ' / ' + fmt(lift.top) + ' m ' + (lift.target_up === true ? '▲' : '▼') + (powered ? '' : ' no power'),
      ], 'lift-label', fs * 0.9);
      (Array.isArray(lift.controls) ? lift.controls : []).forEach((control, k) => {
        const [x, y, z] = vec(control);
        svg('rect', { x: fmt(x - 0.31, 3), y: fmt(z - 0.31, 3), width: 0.62, height: 0.62, class: 'lift-control', 'data-kind': 'lift-control', 'data-index': k }, plan);
        labelAt(labels, x + 0.45, z + fs * 0.3, ['call ' + (k === 0 ? '↓' : '↑') + ' ' + fmt(y) + ' m'], 'control-label start', fs * 0.8);
      });
    }

    // Doors: closed doors are solid, open doors an outline with the leaf swung aside.
    snap.doors.forEach((door, i) => {
      const open = door.open === true;
      const [x, y, z] = vec(door.pos);
      const [w, h, d] = vec(door.size);
      const g = svg('g', { 'data-kind': 'door', 'data-index': i, 'data-open': String(open), class: 'door ' + (open ? 'open' : 'closed') }, plan);
      boxRect(g, door.pos, door.size, { class: 'door-frame' });
      if (open) {
        const alongX = w >= d;
        const len = Math.max(w, d);
        const hx = alongX ? x - w / 2 : x;
        const hz = alongX ? z : z - d / 2;
        const ex = alongX ? hx : hx + len * 0.7;
        const ez = alongX ? hz - len * 0.7 : hz;
        svg('line', { x1: fmt(hx, 3), y1: fmt(hz, 3), x2: fmt(ex, 3), y2: fmt(ez, 3), class: 'door-leaf' }, g);
      }
      const lines = [text(door.label) + ' · ' + (open ? 'OPEN' : 'closed') + heightNote(y - h / 2)];
      if (isNum(door.hold_remaining)) lines.push('latches in ' + fmt(door.hold_remaining, 1) + ' s');
      if (isNum(door.cycle_remaining)) lines.push((open ? 'closes' : 'opens') + ' in ' + fmt(door.cycle_remaining, 1) + ' s');
      labelAbove(labels, x, z - Math.max(d, 0.45) / 2, lines, 'door-label ' + (open ? 'open' : 'closed'), fs);
    });

    // Sockets.
    snap.sockets.forEach((socket, i) => {
      const [x, , z] = vec(socket.pos);
      const powered = socket.powered === true;
      svg('rect', { x: fmt(x - 0.3, 3), y: fmt(z - 0.3, 3), width: 0.6, height: 0.6, rx: 0.08, class: 'socket' + (powered ? ' on' : ''), 'data-kind': 'socket', 'data-index': i, 'data-powered': String(powered) }, plan);
      labelAt(labels, x, z + 0.3 + fs, [text(socket.label) + (powered ? ' ⚡ powered' : ' · no power')], 'socket-label', fs * 0.9);
    });

    // Fans with their air stream.
    snap.fans.forEach((fan, i) => {
      const [x, y, z] = vec(fan.pos);
      const [dx, dy, dz] = vec(fan.dir);
      const on = fan.active === true;
      const g = svg('g', { class: 'fan' + (on ? ' on' : ''), 'data-kind': 'fan', 'data-index': i, 'data-active': String(on) }, plan);
      svg('rect', { x: fmt(x - 0.31, 3), y: fmt(z - 0.31, 3), width: 0.62, height: 0.62, class: 'fan-body' }, g);
      const flat = Math.hypot(dx, dz);
      if (flat > 0.01) {
        const len = 3;
        const ux = dx / flat;
        const uz = dz / flat;
        const tx = x + ux * len;
        const tz = z + uz * len;
        for (const off of [-0.35, 0, 0.35]) {
          const ox = -uz * off;
          const oz = ux * off;
          svg('line', { x1: fmt(x + ox + ux * 0.4, 3), y1: fmt(z + oz + uz * 0.4, 3), x2: fmt(tx + ox, 3), y2: fmt(tz + oz, 3), class: 'fan-stream' }, g);
        }
        const head = 'M' + fmt(tx + ux * 0.5, 3) + ' ' + fmt(tz + uz * 0.5, 3)
          + 'L' + fmt(tx - uz * 0.45, 3) + ' ' + fmt(tz + ux * 0.45, 3)
          + 'L' + fmt(tx + uz * 0.45, 3) + ' ' + fmt(tz - ux * 0.45, 3) + 'Z';
        svg('path', { d: head, class: 'fan-head' }, g);
      }
      const vertical = Math.abs(dy) > 0.01 ? (dy > 0 ? ' ↑up' : ' ↓down') : '';
      labelAbove(labels, x, z - 0.4, [text(fan.label) + ' · ' + (on ? 'ON' : 'off') + vertical + heightNote(y)], 'fan-label', fs * 0.9);
    });

    // Cargo-gravity consoles.
    (Array.isArray(snap.gravity_controls) ? snap.gravity_controls : []).forEach((pos, i) => {
      const [x, y, z] = vec(pos);
      const off = snap.cargo_gravity_off === true;
      svg('circle', { cx: fmt(x, 3), cy: fmt(z, 3), r: 0.35, class: 'gravity-control' + (off ? ' off' : ''), 'data-kind': 'gravity-control', 'data-index': i }, plan);
      labelAt(labels, x + 0.5, z + fs * 0.3, ['gravity ' + (i + 1) + ' · ' + fmt(y) + ' m' + (off ? ' · cargo g OFF' : '')], 'control-label start', fs * 0.8);
    });

    // Cargo, lowest first.
    const cargo = snap.cargo.slice().sort((a, b) => vec(a.pos)[1] - vec(b.pos)[1]);
    cargo.forEach((item) => {
      const [x, y, z] = vec(item.pos);
      const [w, h, d] = vec(item.size);
      const owner = num(item.owner, -1);
      const deliver = item.kind === 1;
      const states = [];
      if (owner >= 0) states.push('carried by ' + actorName(owner));
      if (item.docked === true) states.push('docked');
      if (item.delivered === true) states.push('delivered ✓');
      const g = svg('g', {
        class: 'cargo' + (owner >= 0 ? ' carried' : '') + (item.docked === true ? ' docked' : '') + (item.delivered === true ? ' delivered' : ''),
        'data-kind': 'cargo', 'data-id': num(item.id, -1), 'data-owner': owner,
        'data-deliver': String(deliver), 'data-docked': String(item.docked === true), 'data-delivered': String(item.delivered === true),
      }, plan);
      const rect = boxRect(g, item.pos, item.size, { class: 'cargo-box' });
      rect.style.fill = STYLE_COLORS[item.style] || '#b0a080';
      if (deliver) {
        svg('circle', { cx: fmt(x, 3), cy: fmt(z, 3), r: fmt(Math.max(0.12, Math.min(w, d) * 0.22), 3), class: 'deliver-mark' }, g);
      }
      // A carried item is named in its holder's label instead.
      if (owner < 0) {
        const title = (deliver ? '★ ' : '') + text(item.label) + heightNote(y - h / 2);
        labelAt(labels, x, z + d / 2 + fs, [title, states.join(' · ')], 'cargo-label', fs * 0.9);
      }
    });

    // Throw preview.
    if (snap.trajectory.length > 0) {
      const points = snap.trajectory.map((p) => { const [x, , z] = vec(p); return fmt(x, 3) + ',' + fmt(z, 3); }).join(' ');
      const g = svg('g', { 'data-kind': 'trajectory', 'data-points': snap.trajectory.length, class: 'trajectory' }, plan);
      svg('polyline', { points, class: 'trajectory-line' }, g);
      snap.trajectory.forEach((p, k) => {
        if (k % 5 !== 0) return;
        const [x, , z] = vec(p);
        svg('circle', { cx: fmt(x, 3), cy: fmt(z, 3), r: 0.08, class: 'trajectory-dot' }, g);
      });
    }

    // Player and echoes: echoes first so that the player stays on top.
    const actors = snap.echoes.map((a, i) => ({ a, index: i + 1 })).concat([{ a: snap.player, index: 0 }]);
    actors.forEach(({ a, index }) => {
      const [x, y, z] = vec(a.pos);
      const yaw = num(a.yaw);
      const fx = -Math.sin(yaw);
      const fz = -Math.cos(yaw);
      const held = num(a.held, -1);
      const g = svg('g', {
        class: 'actor ' + (index === 0 ? 'player' : 'echo'), 'data-kind': 'actor',
        'data-role': index === 0 ? 'player' : 'echo', 'data-index': index, 'data-held': held,
      }, plan);
      svg('line', { x1: fmt(x, 3), y1: fmt(z, 3), x2: fmt(x + fx * 1.0, 3), y2: fmt(z + fz * 1.0, 3), class: 'heading' }, g);
      svg('circle', { cx: fmt(x, 3), cy: fmt(z, 3), r: ACTOR_RADIUS, class: 'body' }, g);
      const tag = svg('text', { x: fmt(x, 3), y: fmt(z + 0.11, 3), class: 'actor-tag', 'font-size': 0.3 }, g);
      tag.textContent = actorName(index);
      const lines = [(index === 0 ? 'player' : 'echo ' + index) + heightNote(y)];
      if (held >= 0) lines.push('holds ' + cargoLabel(snap, held));
      if (index > 0 && isNum(a.next_throw)) lines.push('throws at ' + fmt(a.next_throw, 2) + ' s');
      labelAbove(labels, x, z - ACTOR_RADIUS, lines, 'actor-label ' + (index === 0 ? 'player' : 'echo'), fs);
    });

    plan.appendChild(labels);
  }

  // Elevation beside the plan: height grows to the right, z runs down as in the plan.
  // A box seen from the side: height to the right, z down.
  function rectUV(parent, pos, size, attrs) {
    const [, y, z] = vec(pos);
    const [, h, d] = vec(size);
    return svg('rect', Object.assign({ x: fmt(y - h / 2, 4), y: fmt(z - d / 2, 4), width: fmt(Math.abs(h), 4), height: fmt(Math.abs(d), 4) }, attrs), parent);
  }

  function drawSideStatic(side, snap, box, fs) {
    clear(side);
    const { W, D, H } = box;
    const labels = svg('g', { class: 'labels' });

    svg('rect', { x: 0, y: -D / 2, width: H, height: D, class: 'side-air' }, side);
    const every = fs * 0.75 * 1.6 > 1 ? 2 : 1;
    for (let level = 1; level < H; level += 1) {
      svg('line', { x1: level, y1: -D / 2, x2: level, y2: D / 2, class: 'side-grid' }, side);
      if (level % every === 0) labelAt(labels, level, -D / 2 - 0.5, [level + ' m'], 'side-scale', fs * 0.75);
    }
    labelAt(labels, H / 2, -D / 2 - PLAN_MARGIN - 0.1, ['elevation: height →'], 'side-title', fs * 0.85);
    svg('line', { x1: 0, y1: -D / 2, x2: 0, y2: D / 2, class: 'side-floor' }, side);
    rectUV(side, snap.goal, snap.goal_size, { class: 'goal' });

    snap.walls.forEach((wall) => {
      const [x] = vec(wall.pos);
      const [w] = vec(wall.size);
      if (Math.abs(x) - w / 2 >= W / 2 - 0.01) return; // the side walls would hide everything
      const rect = rectUV(side, wall.pos, wall.size, { class: 'side-wall', 'data-kind': 'side-wall' });
      rect.style.fill = wallShade(vec(wall.pos)[1] + vec(wall.size)[1] / 2, H);
    });
    side.appendChild(labels);
  }

  function drawSide(side, snap, box, fs) {
    clear(side);
    const labels = svg('g', { class: 'labels' });
    snap.plates.forEach((plate) => {
      const [, y, z] = vec(plate.pos);
      const r = num(plate.radius, 0.9);
      svg('rect', { x: fmt(y - 0.04, 3), y: fmt(z - r, 3), width: 0.08, height: fmt(2 * r, 3), class: 'plate' + (plate.active === true ? ' on' : '') }, side);
    });
    if (kindOf(snap.lift) === 'object') {
      const lift = snap.lift;
      const [, , cz] = vec(lift.center);
      const [, sh, sd] = vec(lift.size);
      const top = num(lift.height);
      svg('line', { x1: fmt(num(lift.top), 3), y1: fmt(cz - sd / 2, 3), x2: fmt(num(lift.top), 3), y2: fmt(cz + sd / 2, 3), class: 'lift-stop' }, side);
      svg('rect', { x: fmt(top - sh, 3), y: fmt(cz - sd / 2, 3), width: fmt(sh, 3), height: fmt(sd, 3), class: 'lift' + (liftPowered(snap) ? ' powered' : ''), 'data-kind': 'side-lift' }, side);
      (Array.isArray(lift.controls) ? lift.controls : []).forEach((control) => {
        const [, y, z] = vec(control);
        svg('rect', { x: fmt(y - 0.2, 3), y: fmt(z - 0.2, 3), width: 0.4, height: 0.4, class: 'lift-control' }, side);
      });
    }
    (Array.isArray(snap.gravity_controls) ? snap.gravity_controls : []).forEach((pos) => {
      const [, y, z] = vec(pos);
      svg('circle', { cx: fmt(y, 3), cy: fmt(z, 3), r: 0.25, class: 'gravity-control' + (snap.cargo_gravity_off === true ? ' off' : '') }, side);
    });
    snap.doors.forEach((door) => {
      rectUV(side, door.pos, door.size, { class: 'side-door ' + (door.open === true ? 'open' : 'closed') });
    });
    snap.cargo.forEach((item) => {
      const rect = rectUV(side, item.pos, item.size, { class: 'cargo-box' });
      rect.style.fill = STYLE_COLORS[item.style] || '#b0a080';
    });
    if (snap.trajectory.length > 0) {
      const points = snap.trajectory.map((p) => { const [, y, z] = vec(p); return fmt(y, 3) + ',' + fmt(z, 3); }).join(' ');
      svg('polyline', { points, class: 'trajectory-line' }, side);
    }
    const actors = snap.echoes.map((a, i) => ({ a, index: i + 1 })).concat([{ a: snap.player, index: 0 }]);
    actors.forEach(({ a, index }) => {
      const [, y, z] = vec(a.pos);
      const g = svg('g', { class: 'actor ' + (index === 0 ? 'player' : 'echo') }, side);
      svg('rect', { x: fmt(y, 3), y: fmt(z - ACTOR_RADIUS, 3), width: ACTOR_HEIGHT, height: 2 * ACTOR_RADIUS, rx: 0.2, class: 'body' }, g);
      labelAt(labels, y + ACTOR_HEIGHT + 0.15, z + fs * 0.3, [actorName(index) + (y > ON_FLOOR ? ' ' + fmt(y) + ' m' : '')], 'actor-label start ' + (index === 0 ? 'player' : 'echo'), fs * 0.85);
    });
    side.appendChild(labels);
  }

  // Fits the room into the scene, or keeps the zoomed window while the room stays the same.
  function drawScene(snap) {
    const box = sceneBox(snap);
    const roomKey = [snap.level, box.W, box.D, box.H].join('/');
    if (view.roomKey !== roomKey) {
      view.roomKey = roomKey;
      view.zoom = null;
    }
    const vb = view.zoom || { x: box.x, y: box.y, w: box.w, h: box.h };
    ui.scene.setAttribute('viewBox', [vb.x, vb.y, vb.w, vb.h].map((v) => fmt(v, 3)).join(' '));
    if (!view.pixels) {
      const rect = ui.scene.getBoundingClientRect();
      if (rect.width > 0 && rect.height > 0) view.pixels = { w: rect.width, h: rect.height };
    }
    const pixels = view.pixels || { w: 800, h: 600 };
    const pixelsPerMetre = Math.min(pixels.w / vb.w, pixels.h / vb.h);
    const fs = Math.max(0.12, Math.min(1.2, 11 / pixelsPerMetre));
    ui.side.setAttribute('transform', 'translate(' + fmt(box.sideLeft, 3) + ' 0)');
    // Walls and goal are redrawn only when they or the label size change.
    const staticKey = JSON.stringify([box, snap.walls, snap.goal, snap.goal_size, snap.spawn, fmt(fs, 3)]);
    if (view.staticKey !== staticKey) {
      view.staticKey = staticKey;
      drawPlanStatic(ui.planStatic, snap, box, fs);
      drawSideStatic(ui.sideStatic, snap, box, fs);
    }
    drawPlan(ui.planDynamic, snap, box, fs);
    drawSide(ui.sideDynamic, snap, box, fs);
  }

  const view = { roomKey: '', staticKey: '', zoom: null, drag: null, pixels: null };

  function scenePoint(ev) {
    const ctm = ui.scene.getScreenCTM();
    if (!ctm) return null;
    const p = new DOMPoint(ev.clientX, ev.clientY).matrixTransform(ctm.inverse());
    return { x: p.x, y: p.y };
  }

  function currentViewBox() {
    const b = ui.scene.viewBox.baseVal;
    return { x: b.x, y: b.y, w: b.width, h: b.height };
  }

  function bindZoom() {
    ui.scene.addEventListener('wheel', (ev) => {
      if (state.frames.length === 0) return;
      ev.preventDefault();
      const p = scenePoint(ev);
      if (!p) return;
      const vb = currentViewBox();
      const factor = Math.exp(Math.max(-1, Math.min(1, ev.deltaY / 300)));
      const w = Math.max(2, Math.min(400, vb.w * factor));
      const k = w / vb.w;
      view.zoom = { x: p.x - (p.x - vb.x) * k, y: p.y - (p.y - vb.y) * k, w, h: vb.h * k };
      render();
    }, { passive: false });
    ui.scene.addEventListener('pointerdown', (ev) => {
      if (state.frames.length === 0) return;
      view.drag = { start: scenePoint(ev), vb: currentViewBox() };
      ui.scene.setPointerCapture(ev.pointerId);
    });
    ui.scene.addEventListener('pointermove', (ev) => {
      if (!view.drag || !view.drag.start) return;
      const p = scenePoint(ev);
      if (!p) return;
      // The point under the cursor stays put: shift by how far it moved in the current box.
      const vb = currentViewBox();
      view.zoom = { x: vb.x - (p.x - view.drag.start.x), y: vb.y - (p.y - view.drag.start.y), w: vb.w, h: vb.h };
      ui.scene.setAttribute('viewBox', [view.zoom.x, view.zoom.y, view.zoom.w, view.zoom.h].join(' '));
    });
    const endDrag = () => { if (view.drag) { view.drag = null; render(); } };
    ui.scene.addEventListener('pointerup', endDrag);
    ui.scene.addEventListener('pointercancel', endDrag);
    ui.scene.addEventListener('dblclick', () => { view.zoom = null; render(); });
  }

  // ---------- texts and tables ----------

  const ui = {};

  function drawTexts(snap) {
    setText(ui.roomIndex, 'room ' + (isNum(snap.level) ? snap.level : '?') + (isNum(snap.level_count) ? ' (rooms 0–' + (snap.level_count - 1) + ')' : ''));
    setText(ui.title, text(snap.title));
    setText(ui.objective, text(snap.objective));
    setText(ui.hint, text(snap.hint));
    setText(ui.time, fmt(snap.time, 2) + ' s / ' + fmt(snap.limit, 0) + ' s');
    const limit = num(snap.limit, 0);
    const share = limit > 0 ? Math.max(0, Math.min(1, num(snap.time) / limit)) : 0;
    ui.timeFill.style.width = (share * 100).toFixed(2) + '%';
    const tw = snap.transfer_window;
    if (Array.isArray(tw) && limit > 0 && isNum(tw[0]) && isNum(tw[1])) {
      ui.timeWindow.hidden = false;
      ui.timeWindow.style.left = (Math.max(0, tw[0] / limit) * 100).toFixed(2) + '%';
      ui.timeWindow.style.width = (Math.max(0, (tw[1] - tw[0]) / limit) * 100).toFixed(2) + '%';
      ui.timeWindow.title = 'transfer window ' + fmt(tw[0]) + '–' + fmt(tw[1]) + ' s';
    } else {
      ui.timeWindow.hidden = true;
    }

    let state = 'running';
    let label = 'running';
    if (snap.finished === true) { state = 'finished'; label = 'FINISHED · all rooms done'; }
    else if (snap.won === true) { state = 'won'; label = 'WON'; }
    else if (snap.failed === true) { state = 'failed'; label = 'FAILED'; }
    ui.status.dataset.state = state;
    setText(ui.status, label);

    const flags = [];
    if (snap.moon_gravity === true) flags.push('low gravity');
    if (snap.cargo_gravity_off === true) flags.push('cargo gravity OFF');
    if (Array.isArray(tw)) flags.push('transfer window ' + fmt(tw[0]) + '–' + fmt(tw[1]) + ' s');
    flags.push(snap.echoes.length + (snap.echoes.length === 1 ? ' echo' : ' echoes'));
    if (ui.flags.dataset.shown !== flags.join('|')) {
      ui.flags.dataset.shown = flags.join('|');
      clear(ui.flags);
      flags.forEach((f) => html('span', 'flag', f, ui.flags));
    }

    setText(ui.interaction, text(snap.interaction) || '—');
    ui.interaction.classList.toggle('none', !text(snap.interaction));
    setText(ui.message, text(snap.message));
    ui.message.classList.toggle('none', !text(snap.message));
  }

  function drawTables(snap) {
    const actors = [{ a: snap.player, index: 0 }].concat(snap.echoes.map((a, i) => ({ a, index: i + 1 })));
    fillRows(ui.actors.tBodies[0], actors.map(({ a, index }) => {
      const held = num(a.held, -1);
      return {
        cls: index === 0 ? 'player' : 'echo',
        cells: [
          { cls: 'name', text: actorName(index) },
          { cls: 'num', text: fmtVec(a.pos) + (a.grounded === true ? '' : ' (air)') },
          { cls: 'num', text: fmt(num(a.yaw) * 180 / Math.PI, 0) },
          { cls: '', text: held >= 0 ? cargoLabel(snap, held) : '—' },
          { cls: '', text: (text(a.action) || '—') + (a.action && a.action !== 'none' ? ' @' + fmt(a.action_time, 2) + ' s' : '') },
          { cls: 'num', text: isNum(a.next_throw) ? fmt(a.next_throw, 2) + ' s' : '—' },
        ],
      };
    }));
    fillRows(ui.cargoList.tBodies[0], snap.cargo.map((item) => {
      const owner = num(item.owner, -1);
      const states = [];
      if (owner >= 0) states.push('carried by ' + actorName(owner));
      if (item.docked === true) states.push('docked');
      if (item.delivered === true) states.push('delivered');
      if (states.length === 0) states.push(Math.hypot(...vec(item.vel)) > 0.05 ? 'moving' : 'free');
      return {
        cls: '',
        cells: [
          { cls: 'num', text: String(num(item.id, -1)) },
          { cls: '', text: (item.kind === 1 ? '★ ' : '') + text(item.label) },
          { cls: '', text: text(item.style) },
          { cls: '', text: states.join(', ') },
          { cls: 'num', text: fmtVec(item.pos) },
        ],
      };
    }));
  }

  // ---------- state, timeline and playback ----------

  const state = {
    frames: [], marks: [], index: 0, playing: false, speed: 1, lastTick: 0, carry: 0, raf: 0,
  };

  function showNotice(kind, message) {
    ui.notice.dataset.state = kind;
    ui.notice.textContent = message;
    ui.notice.hidden = message === '';
  }

  function showErrors(errors) {
    clear(ui.errors);
    ui.errors.hidden = errors.length === 0;
    const shown = errors.slice(0, 50);
    shown.forEach((err) => {
      const li = html('li', 'error', null, ui.errors);
      li.dataset.kind = 'error';
      li.dataset.line = String(err.line);
      html('strong', '', 'line ' + err.line + ': ', li);
      html('span', '', err.message, li);
    });
    if (errors.length > shown.length) html('li', 'error more', '… and ' + (errors.length - shown.length) + ' more bad lines', ui.errors);
  }

  function drawMarks() {
    clear(ui.marks);
    const n = state.frames.length;
    state.marks.forEach((mark) => {
      const el = html('button', 'mark ' + mark.kind, null, ui.marks);
      el.type = 'button';
      el.dataset.kind = 'mark';
      el.dataset.mark = mark.kind;
      el.dataset.frame = String(mark.frame);
      el.title = mark.text + ' · frame ' + (mark.frame + 1);
      el.style.left = (n > 1 ? (mark.frame / (n - 1)) * 100 : 0).toFixed(3) + '%';
      el.addEventListener('click', () => { pause(); show(mark.frame); });
    });
  }

  function render() {
    const frame = state.frames[state.index];
    if (!frame) return;
    const snap = frame.snap;
    try {
      drawScene(snap);
      drawTexts(snap);
      drawTables(snap);
      ui.views.dataset.frameError = '';
    } catch (err) {
      ui.views.dataset.frameError = String(err && err.message);
      showNotice('error', 'Frame ' + (state.index + 1) + ' (line ' + frame.line + ') could not be drawn: ' + (err && err.message));
    }
    ui.timeline.value = String(state.index);
    ui.frameInfo.textContent = 'frame ' + (state.index + 1) + ' / ' + state.frames.length + ' · line ' + frame.line + ' · t ' + fmt(snap.time, 3) + ' s';
    document.body.dataset.frame = String(state.index);
  }

  function show(index) {
    if (state.frames.length === 0) return;
    state.index = Math.max(0, Math.min(state.frames.length - 1, index));
    render();
  }

  function setPlayButton() {
    ui.play.textContent = state.playing ? '❚❚ pause' : '▶︎ play';
    ui.play.dataset.playing = String(state.playing);
  }

  function pause() {
    state.playing = false;
    if (state.raf) cancelAnimationFrame(state.raf);
    state.raf = 0;
    setPlayButton();
  }

  function advance(now) {
    if (!state.playing) return;
    state.carry += ((now - state.lastTick) / 1000) * state.speed;
    state.lastTick = now;
    const start = state.index;
    let i = state.index;
    while (i < state.frames.length - 1 && state.carry >= frameSeconds(state.frames, i)) {
      state.carry -= frameSeconds(state.frames, i);
      i += 1;
    }
    if (i !== start) show(i);
    if (i >= state.frames.length - 1) {
      pause();
      return;
    }
    state.raf = requestAnimationFrame(advance);
  }

  function play() {
    if (state.frames.length < 2) return;
    if (state.index >= state.frames.length - 1) show(0);
    state.playing = true;
    state.carry = 0;
    state.lastTick = performance.now();
    setPlayButton();
    state.raf = requestAnimationFrame(advance);
  }

  function loadText(textContent, sourceName) {
    pause();
    ui.source.textContent = sourceName;
    const run = parseRun(textContent);
    state.frames = run.frames;
    state.marks = timelineMarks(run.frames);
    state.index = 0;
    showErrors(run.errors);
    const n = run.frames.length;
    ui.timeline.max = String(Math.max(0, n - 1));
    ui.timeline.disabled = n === 0;
    drawMarks();
    if (run.empty) {
      showNotice('empty', 'The file is empty: it holds no snapshot lines.');
    } else if (n === 0) {
      showNotice('error', 'No line of the file is a readable snapshot (' + run.errors.length + ' bad lines).');
    } else if (run.errors.length > 0) {
      showNotice('partial', n + ' frames shown; ' + run.errors.length + ' bad ' + (run.errors.length === 1 ? 'line' : 'lines') + ' skipped (listed below).');
    } else {
      showNotice('ok', '');
    }
    document.body.dataset.frames = String(n);
    document.body.dataset.badLines = String(run.errors.length);
    if (n === 0) {
      [ui.planStatic, ui.planDynamic, ui.sideStatic, ui.sideDynamic].forEach(clear);
      view.staticKey = '';
      ui.frameInfo.textContent = 'no frames';
    } else {
      show(0);
    }
    document.body.dataset.loaded = 'true';
  }

  function loadFromUrl(src) {
    showNotice('loading', 'Loading ' + src + ' …');
    fetch(src, { cache: 'no-store' })
      .then((response) => {
        if (!response.ok) throw new Error('HTTP ' + response.status);
        return response.text();
      })
      .then((body) => loadText(body, src))
      .catch((err) => {
        ui.source.textContent = src;
        showNotice('error', 'Could not load ' + src + ': ' + err.message);
        document.body.dataset.loaded = 'error';
      });
  }

  function loadFile(file) {
    const reader = new FileReader();
    reader.onload = () => loadText(String(reader.result), file.name);
    reader.onerror = () => showNotice('error', 'Could not read ' + file.name);
    reader.readAsText(file);
  }

  function init() {
    const byId = (id) => document.getElementById(id);
    Object.assign(ui, {
      scene: byId('scene'), plan: byId('plan'), side: byId('side'),
      planStatic: byId('plan-static'), planDynamic: byId('plan-dynamic'), sideStatic: byId('side-static'), sideDynamic: byId('side-dynamic'), views: byId('views'), notice: byId('notice'), errors: byId('errors'),
      source: byId('source'), file: byId('file'), roomIndex: byId('room-index'), title: byId('title'),
      objective: byId('objective'), hint: byId('hint'), time: byId('time'), timeFill: byId('time-fill'),
      timeWindow: byId('time-window'), status: byId('status'), flags: byId('flags'), interaction: byId('interaction'),
      message: byId('message'), actors: byId('actors'), cargoList: byId('cargo-list'), play: byId('play'),
      step: byId('step'), stepBack: byId('step-back'), first: byId('first'), last: byId('last'), speed: byId('speed'),
      timeline: byId('timeline'), marks: byId('marks'), frameInfo: byId('frame-info'),
    });
    ui.file.addEventListener('change', () => { if (ui.file.files[0]) loadFile(ui.file.files[0]); });
    ui.play.addEventListener('click', () => (state.playing ? pause() : play()));
    ui.step.addEventListener('click', () => { pause(); show(state.index + 1); });
    ui.stepBack.addEventListener('click', () => { pause(); show(state.index - 1); });
    ui.first.addEventListener('click', () => { pause(); show(0); });
    ui.last.addEventListener('click', () => { pause(); show(state.frames.length - 1); });
    ui.speed.addEventListener('change', () => { state.speed = Number(ui.speed.value) || 1; });
    ui.timeline.addEventListener('input', () => { pause(); show(Number(ui.timeline.value)); });
    document.addEventListener('keydown', (ev) => {
      const tag = ev.target && ev.target.tagName;
      if (tag === 'SELECT' || (tag === 'INPUT' && ev.target.type !== 'range')) return;
      if (ev.key === ' ') { ev.preventDefault(); (state.playing ? pause() : play()); }
      else if (tag !== 'INPUT' && ev.key === 'ArrowRight') { pause(); show(state.index + 1); }
      else if (tag !== 'INPUT' && ev.key === 'ArrowLeft') { pause(); show(state.index - 1); }
    });
    document.addEventListener('dragover', (ev) => ev.preventDefault());
    document.addEventListener('drop', (ev) => {
      ev.preventDefault();
      const file = ev.dataTransfer && ev.dataTransfer.files[0];
      if (file) loadFile(file);
    });
    bindZoom();
    window.addEventListener('resize', () => { view.pixels = null; render(); });
    setPlayButton();
    const src = new URLSearchParams(window.location.search).get('src');
    if (src) loadFromUrl(src);
  }

  window.vantrelViewer = { parseRun, timelineMarks, frameSeconds, loadText, show, play, pause, state, drawScene, drawTexts, drawTables };
  document.addEventListener('DOMContentLoaded', init);
}());
