
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
      // A name is isolated from the text around it: its own direction marks reorder nothing else.
      const view = el('div', { class: 'seat seat' + seat }, [swatch,
        el('b', { title: data.players[seat] }, [el('bdi', { text: data.names[seat] })]),
        el('span', { class: 'where', text: ' ' + seatNames[seat] + ' ' }), score, state]);
      side.append(view);
      return { swatch, score, state, view };
    });

    const evaluation = evaluationView(data, seatViews);

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

    // The board of the move on show as its seat read it in vorla.in, to run a bot on by hand.
    const saveInput = el('a', { id: 'save-input' });
    side.append(el('p', {}, [saveInput]));

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

    // One colour a seat, whatever colour its region has: the style sheet's, as on the names.
    const seatColours = seatViews.map(seat => getComputedStyle(seat.view.querySelector('b')).color);

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

    function offerInput() {
      const k = Math.max(0, shown - 1);
      const turn = data.turns[k];
      saveInput.hidden = !turn || turn.answer === null;
      if (saveInput.hidden) return;
      const lines = [];
      for (let row = 0; row < rows; ++row) {
        let line = '';
        for (let column = 0; column < columns; ++column) line += colourAt(k, row * columns + column);
        lines.push(line);
      }
      // The second seat reads the board turned half round, its home at the top left, as the referee writes it.
      if (turn.seat === 1) lines.reverse().forEach((line, row) => { lines[row] = [...line].reverse().join(''); });
      saveInput.textContent = 'Save the board as seat ' + (turn.seat + 1) + ' saw it in turn ' + k + ' (vorla.in)';
      saveInput.download = 'turn-' + k + '-seat-' + (turn.seat + 1) + '-vorla.in';
      saveInput.href = 'data:text/plain,' + encodeURIComponent(lines.join('\n') + '\n');
    }

    function showLogs() {
      logs.replaceChildren();
      // The log of each seat's latest move up to here.
      for (const seat of [0, 1]) {
        let k = shown - 1;
        while (k >= 0 && data.turns[k].seat !== seat) --k;
        const text = k >= 0 ? data.turns[k].log : '';
        // The log of the move on show is shown whole; an earlier one's box can be drawn taller.
        const whole = k >= 0 && k === shown - 1;
        logs.append(el('div', { class: 'log' }, [el('b', { title: data.players[seat] },
          [el('bdi', { text: data.names[seat] }), k >= 0 ? ', turn ' + k : '']),
          el('pre', { text: text || '(nothing logged)', class: whole ? 'whole' : '' })]));
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
      evaluation.show(shown);
      showLogs();
      offerInput();
      // The address names the turn on show as the label does.
      const hash = shown === 0 ? '#start' : '#turn=' + (shown - 1);
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
      // Turn K is on show after K + 1 turns.
      const match = /turn=(\d+)/.exec(location.hash);
      show(match ? +match[1] + 1 : 0);
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

  // What a search player makes of the position on show: its move and a bar
  // of how the seats stand. The levels come in the page, or are asked of
  // the site that serves it, one level at a time.
  function evaluationView(data, seatViews) {
    const given = data.evaluation || { levels: {}, offered: [], source: '' };
    const known = Object.assign({}, given.levels);
    const asked = new Set();
    const offered = given.offered;
    let shown = 0;
    if (!offered.length) return { show() {} };
    const choice = el('select', { id: 'evaluation-level', title: 'which search player looks' },
      offered.map(level => el('option', { value: level, text: 'search:' + level })));
    choice.value = String(offered.includes(3) ? 3 : offered[0]);
    const seatColour = seat => getComputedStyle(seatViews[seat].view.querySelector('b')).color;
    const first = el('span', { class: 'first' });
    const bar = el('div', { id: 'evaluation-bar' }, [first]);
    const words = el('span', { id: 'evaluation-words' });
    document.getElementById('side').append(el('div', { id: 'evaluation' }, [choice, bar, words]));
    bar.style.background = seatColour(1);
    first.style.background = seatColour(0);

    function draw() {
      const level = choice.value;
      const positions = known[level];
      if (!positions) {
        words.textContent = positions === null ? 'no evaluation' : 'search:' + level + ' is looking\u2026';
        if (positions === undefined && given.source && !asked.has(level)) fetchLevel(level);
        return;
      }
      // Words and bar as the referee's own code made them.
      const [seat, , , , share, verdict] = positions[Math.min(shown, positions.length - 1)];
      words.textContent = data.names[seat] + ' to move: ' + verdict;
      first.style.width = (share * 100) + '%';
    }
    function fetchLevel(level) {
      asked.add(level);
      fetch(given.source + level).then(r => {
        // The site makes one evaluation at a time: a busy one is asked again.
        if (r.status === 503) return new Promise(again => setTimeout(() => again('busy'), 1000));
        return r.ok ? r.json() : null;
      }).catch(() => null).then(positions => {
        if (positions === 'busy') { asked.delete(level); draw(); return; }
        known[level] = Array.isArray(positions) ? positions : null;
        if (choice.value === level) draw();
      });
    }
    choice.onchange = draw;
    return { show(turns) { shown = turns; draw(); } };
  }
