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
