// The starter bot as a file bot: started for every move in its seat's
// folder, it reads vorla.in and writes vorla.out. Its own modules are found
// from its own path (require('./...')), not from the working directory.
'use strict';

const fs = require('fs');
const { parseBoard } = require('./board');
const { choose } = require('./strategy');

const cells = parseBoard(fs.readFileSync('vorla.in', 'utf8').split('\n'));
if (!cells) {
  console.error('vorla.in is not a board');
  process.exit(1);
}
const colour = choose(cells);
// Standard error is the bot's log: the window and the replays show it.
console.error(`own ${cells[0]}, opponent ${cells[cells.length - 1]}, playing ${colour}`);
fs.writeFileSync('vorla.out', `${colour}\n`);
