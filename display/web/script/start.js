
  const match = readData('match-data');
  if (match) matchPage(match);
  else runPage(readData('run-data'));
  // How long the page took to come up, for anyone measuring it.
  document.body.dataset.readyMs = Math.round(performance.now());
})();
