// The game's rules, as a bot needs them: the board as vorla.in holds it (the
// mover's home at the top-left, its opponent's at the bottom-right), the
// colours the mover may play, and what a move gains.
'use strict';

const ROWS = 41;
const COLUMNS = 45;

// 41 lines of 45 digits into an array of colours, row by row; null if not a board.
function parseBoard(lines) {
  if (lines.length < ROWS) return null;
  const cells = [];
  for (let row = 0; row < ROWS; ++row) {
    if (lines[row].length < COLUMNS) return null;
    for (let column = 0; column < COLUMNS; ++column) cells.push(lines[row].charCodeAt(column) - 48);
  }
  return cells;
}

// Every colour but the mover's and its opponent's.
function legalColours(cells) {
  const own = cells[0];
  const opponent = cells[cells.length - 1];
  return [1, 2, 3, 4, 5, 6].filter((colour) => colour !== own && colour !== opponent);
}

// The cells of the region around `start`: side neighbours, never diagonal ones.
function regionOf(cells, start) {
  const seen = new Uint8Array(cells.length);
  const region = [start];
  seen[start] = 1;
  for (let next = 0; next < region.length; ++next) {
    const cell = region[next];
    const row = Math.floor(cell / COLUMNS);
    const column = cell % COLUMNS;
    const neighbours = [[row > 0, cell - COLUMNS], [row < ROWS - 1, cell + COLUMNS],
      [column > 0, cell - 1], [column < COLUMNS - 1, cell + 1]];
    for (const [inside, near] of neighbours) {
      if (inside && !seen[near] && cells[near] === cells[start]) {
        seen[near] = 1;
        region.push(near);
      }
    }
  }
  return region;
}

// The board after the mover recolours its region to `colour`.
function play(cells, colour) {
  const after = cells.slice();
  for (const cell of regionOf(cells, 0)) after[cell] = colour;
  return after;
}

module.exports = { ROWS, COLUMNS, parseBoard, legalColours, regionOf, play };
