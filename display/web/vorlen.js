// The pages of a vorlen report. A match page draws the board the referee
// computed (each cell's turn of joining a region, each region's colour after
// every turn); nothing here knows the rules. Opened from disk: no server.
(function () {
  'use strict';

  function el(tag, attrs, children) {
    const node = document.createElement(tag);
    for (const [key, value] of Object.entries(attrs || {})) {
      if (key === 'text') node.textContent = value;
      else node.setAttribute(key, value);
    }
    for (const child of children || []) node.append(child);
    return node;
  }

  function readData(id) {
    const script = document.getElementById(id);
    return script ? JSON.parse(script.textContent) : null;
  }

  // --- a match ---------------------------------------------------------

  function matchPage(data) {
    const rows = data.rows, columns = data.columns, last = data.turns.length;
    const cell = 14;
    let shown = 0;
    let clock = null;

    const board = el('canvas', { id: 'board', width: columns * cell, height: rows * cell });
    const side = el('div', { id: 'side' });
    const page = document.getElementById('page');
    page.append(board, side);

    if (data.back) side.append(el('p', {}, [el('a', { href: data.back, text: '\u2190 the run' })]));
    side.append(el('h1', { text: data.title }));
    // Who won and how, at the end.
    const result = el('p', { id: 'result' });
    side.append(result);
    if (data.source) side.append(el('p', { class: 'source', text: 'board ' + data.source }));

    const seatNames = ['first, top left', 'second, bottom right'];
    const seatViews = [0, 1].map(seat => {
      const swatch = el('span', { class: 'swatch' });
      const score = el('span', { class: 'score' });
      const state = el('span', { class: 'state' });
      const view = el('div', { class: 'seat seat' + seat }, [swatch, el('b', { text: data.names[seat], title: data.players[seat] }),
        el('span', { class: 'where', text: ' ' + seatNames[seat] + ' ' }), score, state]);
      side.append(view);
      return { swatch, score, state, view };
    });

    const slider = el('input', { type: 'range', min: 0, max: last, value: 0, id: 'slider' });
    const label = el('span', { id: 'turn' });
    const buttons = {};
    const controls = el('div', { id: 'controls' });
    for (const [name, text] of [['home', '|\u25c0'], ['back', '\u25c0'], ['play', 'play'], ['step', '\u25b6'], ['end', '\u25b6|']]) {
      buttons[name] = el('button', { id: name, title: name, text });
      controls.append(buttons[name]);
    }
    // How fast play goes: 0.25 to 8 times the window's 100 ms a turn.
    const speed = el('select', { id: 'speed', title: 'how fast play goes' },
      [0.25, 0.5, 1, 2, 4, 8].map(s => el('option', { value: s, text: s + '\u00d7' })));
    speed.value = '1';
    controls.append(slider, label, speed);
    side.append(controls);

    const chart = el('canvas', { id: 'chart', width: 480, height: 150 });
    side.append(chart);
    const logs = el('div', { id: 'logs' });
    side.append(logs);
    const moves = el('table', { id: 'moves' }, [el('tr', {}, ['turn', 'player', 'colour', 'score', 'ms', ''].map(t => el('th', { text: t })))]);
    const moveRows = data.turns.map((turn, k) => {
      const out = turn.retired.map(r => ['first', 'second'][r.seat] + (r.failed ? ' out: ' : ' done: ') + r.reason).join('; ');
      const row = el('tr', {}, [k, data.names[turn.seat], turn.answer === null ? '\u2013' : turn.named ? turn.answer : 'none',
        turn.score[0] + ' : ' + turn.score[1], turn.ms, out].map(t => el('td', { text: String(t) })));
      row.addEventListener('click', () => show(k + 1));
      moves.append(row);
      return row;
    });
    side.append(el('div', { id: 'movelist' }, [moves]));

    function colourAt(turns, i) {
      const whole = data.boards[turns];
      if (whole) return +whole[i];
      const joined = data.joined[i];
      return joined >= 0 && joined <= turns ? data.homes[turns][+data.owner[i]] : +data.board[i];
    }

    function drawBoard() {
      const g = board.getContext('2d');
      for (let i = 0; i < rows * columns; ++i) {
        g.fillStyle = data.colours[colourAt(shown, i) - 1];
        g.fillRect((i % columns) * cell, Math.floor(i / columns) * cell, cell, cell);
      }
    }

    // One colour a seat, whatever colour its region has: the window's (SeatColours.h).
    const seatColours = ['#c82828', '#2846c8'];

    function drawChart() {
      const g = chart.getContext('2d');
      g.clearRect(0, 0, chart.width, chart.height);
      const most = rows * columns;
      const left = 42, bottom = 18, top = 16, right = 8;
      const x = k => left + (last ? k / last : 0) * (chart.width - left - right);
      const y = s => chart.height - bottom - s / most * (chart.height - bottom - top);
      // Axes with their ends: cells on the left, turns below.
      g.strokeStyle = '#888';
      g.lineWidth = 1;
      g.beginPath();
      g.moveTo(left, top);
      g.lineTo(left, chart.height - bottom);
      g.lineTo(chart.width - right, chart.height - bottom);
      g.stroke();
      g.fillStyle = '#606060';
      g.font = '11px sans-serif';
      g.textAlign = 'right';
      g.fillText(String(most), left - 4, y(most) + 4);
      g.fillText('0', left - 4, y(0) + 4);
      g.textAlign = 'center';
      g.fillText('turn 0', x(0) + 16, chart.height - 4);
      g.fillText(String(last), x(last) - 8, chart.height - 4);
      g.fillText('cells', left - 22, y(most / 2));
      for (const seat of [0, 1]) {
        g.strokeStyle = seatColours[seat];
        g.lineWidth = 2;
        g.beginPath();
        g.moveTo(x(0), y(1));
        data.turns.forEach((turn, k) => g.lineTo(x(k + 1), y(turn.score[seat])));
        g.stroke();
        // The legend: each player's name in its line's colour.
        g.fillStyle = seatColours[seat];
        g.textAlign = 'left';
        g.fillText('\u2014 ' + data.names[seat], left + 8 + seat * (chart.width - left) / 2, 11);
      }
      g.strokeStyle = '#888';
      g.beginPath();
      g.moveTo(x(shown), top);
      g.lineTo(x(shown), chart.height - bottom);
      g.stroke();
    }

    function showLogs() {
      logs.replaceChildren();
      // The log of each seat's latest move up to here.
      for (const seat of [0, 1]) {
        let k = shown - 1;
        while (k >= 0 && data.turns[k].seat !== seat) --k;
        const text = k >= 0 ? data.turns[k].log : '';
        logs.append(el('div', { class: 'log' }, [el('b', { text: data.names[seat] + (k >= 0 ? ', turn ' + k : ''), title: data.players[seat] }),
          el('pre', { text: text || '(nothing logged)' })]));
      }
    }

    function show(turns) {
      shown = Math.max(0, Math.min(last, turns | 0));
      const score = shown ? data.turns[shown - 1].score : [1, 1];
      for (const seat of [0, 1]) {
        seatViews[seat].swatch.style.background = data.colours[data.homes[shown][seat] - 1];
        seatViews[seat].score.textContent = 'score ' + score[seat];
        const out = data.turns.slice(0, shown).flatMap(t => t.retired).find(r => r.seat === seat);
        // A failure is out; the game's own end (a full board, a stall) is done.
        seatViews[seat].state.textContent = out ? (out.failed ? ' \u00b7 out: ' : ' \u00b7 done: ') + out.reason : '';
        seatViews[seat].state.classList.toggle('failed', !!(out && out.failed));
      }
      slider.value = shown;
      result.textContent = shown === last ? data.result : '';
      result.hidden = !result.textContent;
      // Turns are numbered from 0, as the move list and the window number them.
      label.textContent = (shown === 0 ? 'start' : 'turn ' + (shown - 1)) + ' \u00b7 ' + shown + ' of ' + last + ' turns'
        + (shown === last && data.finished ? ' \u00b7 over' : '');
      moveRows.forEach((row, k) => row.classList.toggle('now', k === shown - 1));
      // Only the list scrolls: the board stays where it is.
      if (shown > 0) moves.parentNode.scrollTop = moveRows[shown - 1].offsetTop - moves.parentNode.clientHeight / 2;
      drawBoard();
      drawChart();
      showLogs();
      const hash = '#turn=' + shown;
      if (location.hash !== hash) history.replaceState(null, '', hash);
      if (shown === last) pause();
    }

    function pause() {
      if (clock) clearInterval(clock);
      clock = null;
      buttons.play.textContent = 'play';
    }
    function play() {
      if (shown === last) show(0);
      clock = setInterval(() => show(shown + 1), 100 / +speed.value);
      buttons.play.textContent = 'pause';
    }
    speed.onchange = () => { if (clock) { pause(); play(); } };
    function toggle() { if (clock) pause(); else play(); }
    function fromHash() {
      const match = /turn=(\d+)/.exec(location.hash);
      show(match ? +match[1] : 0);
    }

    buttons.home.onclick = () => show(0);
    buttons.back.onclick = () => show(shown - 1);
    buttons.step.onclick = () => show(shown + 1);
    buttons.end.onclick = () => show(last);
    buttons.play.onclick = toggle;
    slider.oninput = () => show(+slider.value);
    document.addEventListener('keydown', event => {
      const keys = { ArrowRight: () => show(shown + 1), ArrowLeft: () => show(shown - 1), Home: () => show(0),
        End: () => show(last), ' ': toggle };
      if (!keys[event.key] || event.target === slider && event.key.startsWith('Arrow')) return;
      event.preventDefault();
      keys[event.key]();
    });
    window.addEventListener('hashchange', fromHash);
    fromHash();
  }

  // --- a run -----------------------------------------------------------

  // Which matches to show: a player's, its wins, losses or draws, failures
  // only. The address keeps the choice (#player=py&result=losses&failures=1).
  function matchFilters(rows, changed) {
    const filters = document.getElementById('filters');
    const players = [...new Set(rows.flatMap(row => [row[3], row[4]]))].sort();
    const given = new URLSearchParams(location.hash.slice(1));
    const who = el('select', { id: 'player' },
      [el('option', { value: '', text: 'every player' }), ...players.map(p => el('option', { value: p, text: p }))]);
    const result = el('select', { id: 'outcome' }, [['', 'any result'], ['wins', 'its wins'], ['losses', 'its losses'],
      ['draws', 'draws']].map(([value, text]) => el('option', { value, text })));
    const failures = el('input', { type: 'checkbox', id: 'failures' });
    const count = el('span', { id: 'count' });
    who.value = players.includes(given.get('player')) ? given.get('player') : '';
    result.value = ['wins', 'losses', 'draws'].includes(given.get('result')) ? given.get('result') : '';
    failures.checked = given.get('failures') === '1';
    filters.append('Show ', who, ' ', result, ' ', el('label', {}, [failures, ' failures only']), ' \u00b7 ', count);
    const keep = row => {
      const p = who.value, won = row[7];
      if (p && row[3] !== p && row[4] !== p) return false;
      if (result.value === 'draws' && won !== 'D') return false;
      if (result.value === 'wins' && (won === 'D' || (p && won !== p))) return false;
      if (result.value === 'losses' && (won === 'D' || !p || won === p)) return false;
      return !failures.checked || String(row[9]).includes(' failed at turn ');
    };
    const apply = () => {
      const shown = rows.filter(keep);
      count.textContent = shown.length + ' of ' + rows.length + ' matches';
      const params = new URLSearchParams();
      if (who.value) params.set('player', who.value);
      if (result.value) params.set('result', result.value);
      if (failures.checked) params.set('failures', '1');
      history.replaceState(null, '', params.toString() ? '#' + params : location.pathname);
      changed(shown);
    };
    for (const control of [who, result, failures]) control.addEventListener('change', apply);
    return apply;
  }

  // The matches of a run, a page of rows at a time, sorted by any column.
  function matchTable(rows) {
    const table = document.getElementById('matches');
    const pager = document.getElementById('pager');
    if (!table) return;
    const perPage = 100;
    let first = 0;
    let order = { column: 0, down: true };
    let shownRows = rows;
    const columns = [0, 2, 3, 4, 5, 6, 7, 8, 9]; // game, board, players, scores, winner, turns, end
    const numeric = column => typeof rows[0]?.[columns[column]] === 'number';

    function render() {
      const body = table.tBodies[0];
      const rows = shownRows;
      body.replaceChildren(...rows.slice(first, first + perPage).map(row => el('tr', {}, columns.map((at, column) => {
        if (column === 0 && row[1]) return el('td', {}, [el('a', { href: row[1], text: String(row[0]) })]);
        return el('td', numeric(column) ? {} : { class: 'text' }, [String(row[at])]);
      }))));
      pager.replaceChildren();
      if (rows.length <= perPage) return;
      const go = (text, to) => {
        const button = el('button', { text });
        button.disabled = to < 0 || to >= rows.length || to === first;
        button.onclick = () => { first = to; render(); };
        return button;
      };
      pager.append(go('first', 0), go('previous', first - perPage),
        ' matches ' + (first + 1) + ' to ' + Math.min(rows.length, first + perPage) + ' of ' + rows.length + ' ',
        go('next', first + perPage), go('last', Math.floor((rows.length - 1) / perPage) * perPage));
    }

    Array.from(table.tHead.rows[0].cells).forEach((th, column) => {
      th.addEventListener('click', () => {
        order = { column, down: order.column === column ? !order.down : true };
        const at = columns[column];
        rows.sort((a, b) => {
          const result = numeric(column) ? a[at] - b[at] : String(a[at]).localeCompare(String(b[at]));
          return (order.down ? result : -result) || a[0] - b[0];
        });
        first = 0;
        filter();
      });
    });
    const filter = matchFilters(rows, shown => {
      shownRows = shown;
      first = 0;
      render();
    });
    filter();
  }

  function llrChart(run) {
    const canvas = document.getElementById('llr');
    if (!canvas || !run.llr) return;
    const g = canvas.getContext('2d');
    const values = run.llr.concat([run.lower, run.upper]);
    const top = Math.max(...values), bottom = Math.min(...values);
    const x = k => k / Math.max(1, run.llr.length - 1) * (canvas.width - 2) + 1;
    const y = v => canvas.height - 1 - (v - bottom) / (top - bottom || 1) * (canvas.height - 2);
    g.strokeStyle = '#999';
    g.fillStyle = '#606060';
    g.font = '12px sans-serif';
    for (const [bound, text] of [[run.lower, 'H0 accepted at '], [run.upper, 'H1 accepted at ']]) {
      g.beginPath(); g.moveTo(0, y(bound)); g.lineTo(canvas.width, y(bound)); g.stroke();
      g.fillText(text + bound.toFixed(2), 6, bound === run.upper ? y(bound) + 14 : y(bound) - 4);
    }
    g.strokeStyle = '#1060c0';
    g.lineWidth = 2;
    g.beginPath();
    run.llr.forEach((v, k) => (k ? g.lineTo(x(k), y(v)) : g.moveTo(x(k), y(v))));
    g.stroke();
  }

  function runPage(run) {
    if (!run) return;
    matchTable(run.matches);
    llrChart(run);
  }

  const match = readData('match-data');
  if (match) matchPage(match);
  else runPage(readData('run-data'));
  // How long the page took to come up, for anyone measuring it.
  document.body.dataset.readyMs = Math.round(performance.now());
})();
