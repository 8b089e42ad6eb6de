// How the starter bot chooses: make this file yours.
'use strict';

const { legalColours, regionOf, play } = require('./board');

// The region after a move, and the cells each next move could add.
function withinReach(cells) {
  const region = regionOf(cells, 0).length;
  let reach = region;
  for (const next of legalColours(cells)) reach += regionOf(play(cells, next), 0).length - region;
  return reach;
}

// The legal colour that leaves the most within reach: the mover's region
// after the move, plus what each colour it may play next would add to it.
// The lowest colour on a tie.
function choose(cells) {
  let best = 0;
  let bestReach = -1;
  for (const colour of legalColours(cells)) {
    const reach = withinReach(play(cells, colour));
    if (reach > bestReach) {
      best = colour;
      bestReach = reach;
    }
  }
  return best;
}

module.exports = { choose, withinReach };
