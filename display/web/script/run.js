
  // --- a run -----------------------------------------------------------

  // Which matches to show: a player's, its wins, losses or draws, those of
  // one pairing, failures only. The address keeps the choice
  // (#player=py&result=losses&pairing=py&pairing=cpp&failures=1).
  function matchFilters(rows, changed) {
    const filters = document.getElementById('filters');
    const players = [...new Set(rows.flatMap(row => [row[3], row[4]]))].sort();
    const given = new URLSearchParams(location.hash.slice(1));
    // A pairing is its two players, in either seating.
    const pairOf = names => JSON.stringify(names.slice().sort());
    const pairings = [...new Set(rows.map(row => pairOf([row[3], row[4]])))].sort();
    const pairing = el('select', { id: 'pairing' }, [el('option', { value: '', text: 'every pairing' }),
      ...pairings.map(value => el('option', { value, text: JSON.parse(value).join(' vs ') }))]);
    const asked = given.getAll('pairing');
    pairing.value = asked.length === 2 && pairings.includes(pairOf(asked)) ? pairOf(asked) : '';
    const who = el('select', { id: 'player' },
      [el('option', { value: '', text: 'every player' }), ...players.map(p => el('option', { value: p, text: p }))]);
    const result = el('select', { id: 'outcome' }, [['', 'any result'], ['wins', 'its wins'], ['losses', 'its losses'],
      ['draws', 'draws']].map(([value, text]) => el('option', { value, text })));
    const failures = el('input', { type: 'checkbox', id: 'failures' });
    const count = el('span', { id: 'count' });
    who.value = players.includes(given.get('player')) ? given.get('player') : '';
    result.value = ['wins', 'losses', 'draws'].includes(given.get('result')) ? given.get('result') : '';
    failures.checked = given.get('failures') === '1';
    filters.append('Show ', who, ' ', result, ' ', ...(pairings.length > 1 ? [pairing, ' '] : []),
      el('label', {}, [failures, ' failures only']), ' \u00b7 ', count);
    const keep = row => {
      const p = who.value, won = row[7];
      if (p && row[3] !== p && row[4] !== p) return false;
      if (pairing.value && pairOf([row[3], row[4]]) !== pairing.value) return false;
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
      for (const name of pairing.value ? JSON.parse(pairing.value) : []) params.append('pairing', name);
      if (failures.checked) params.set('failures', '1');
      history.replaceState(null, '', params.toString() ? '#' + params : location.pathname);
      changed(shown);
    };
    for (const control of [who, result, pairing, failures]) control.addEventListener('change', apply);
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

  // The summary names failures by game and turn: each such name opens that
  // match's page at that turn.
  function linkFailures(matches) {
    const summary = document.getElementById('summary');
    if (!summary) return;
    const pages = new Map(matches.filter(row => row[1]).map(row => [row[0], row[1].split('#')[0]]));
    const text = summary.textContent;
    const parts = [];
    let from = 0;
    for (const found of text.matchAll(/game (\d+) turn (\d+)/g)) {
      const page = pages.get(+found[1]);
      if (!page) continue;
      parts.push(text.slice(from, found.index), el('a', { href: page + '#turn=' + found[2], text: found[0] }));
      from = found.index + found[0].length;
    }
    if (parts.length) summary.replaceChildren(...parts, text.slice(from));
  }

  function runPage(run) {
    if (!run) return;
    matchTable(run.matches);
    linkFailures(run.matches);
    llrChart(run);
  }
