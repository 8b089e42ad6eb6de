// How the starter bot chooses: make this file yours.
'use strict';

const { legalColours, regionOf, play } = require('./board');

// The legal colour that makes the mover's region largest now; the lowest on a tie.
function choose(cells) {
  let best = 0;
  let bestSize = -1;
  for (const colour of legalColours(cells)) {
    const size = regionOf(play(cells, colour), 0).length;
    if (size > bestSize) {
      best = colour;
      bestSize = size;
    }
  }
  return best;
}

module.exports = { choose };
