// node --test, in the bot's folder: its choice on each sample board against
// the answer samples/answers.txt expects.
'use strict';

const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const test = require('node:test');
const { parseBoard } = require('./board');
const { choose } = require('./strategy');

const samples = path.join(__dirname, 'samples');
const answers = fs
  .readFileSync(path.join(samples, 'answers.txt'), 'utf8')
  .split('\n')
  .filter((line) => line.trim() && !line.startsWith('#'))
  .map((line) => line.trim().split(/\s+/));

for (const [name, expected] of answers) {
  test(`${name} is answered ${expected}`, () => {
    const cells = parseBoard(fs.readFileSync(path.join(samples, name), 'utf8').split('\n'));
    assert.ok(cells, `${name} is not a board`);
    assert.strictEqual(choose(cells), Number(expected));
  });
}
