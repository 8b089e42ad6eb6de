// The starter bot as a stream bot: started once for the match, it reads each
// board (41 lines) on standard input and answers with a line on standard
// output. The input ends when the match is over.
'use strict';

const readline = require('readline');
const { ROWS, parseBoard } = require('./board');
const { choose } = require('./strategy');

let lines = [];
readline.createInterface({ input: process.stdin }).on('line', (line) => {
  lines.push(line);
  if (lines.length < ROWS) return;
  const colour = choose(parseBoard(lines));
  lines = [];
  console.error(`playing ${colour}`);
  // A write to a pipe goes out at once: nothing to flush.
  process.stdout.write(`${colour}\n`);
});
