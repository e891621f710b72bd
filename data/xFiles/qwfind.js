// Marks in a topic page the words it was found by: a search result of the browser
// document opens the page with "?qwfind=" and the words. Words are compared as the
// search folds them (compatibility decomposition, marks dropped, lower case), so "cafe"
// marks "Café"; CJK text is marked where the whole run stands.
(function () {
  'use strict';

  var MARKS = /\p{M}/gu;
  var WORD = /[\p{L}\p{N}\p{M}]/u;

  function isCjk(c) {
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x2FDF) ||
      (c >= 0x3005 && c <= 0x3007) || (c >= 0x3040 && c <= 0x30FF) ||
      (c >= 0x3130 && c <= 0x318F) || (c >= 0x31F0 && c <= 0x31FF) ||
      (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
      (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
      (c >= 0xFF66 && c <= 0xFF9F) || (c >= 0x20000 && c <= 0x3FFFF);
  }

  function kind(ch) {
    var c = ch.codePointAt(0);
    if (c < 128) return /[0-9A-Za-z]/.test(ch) ? 1 : 0;
    if (isCjk(c)) return 2;
    return WORD.test(ch) ? 1 : 0;
  }

  function fold(ch) {
    var c = ch.codePointAt(0);
    if (c < 128) return ch.toLowerCase();
    if (isCjk(c)) return ch.normalize('NFKC');
    return ch.normalize('NFKD').replace(MARKS, '').toLowerCase().replace(/\u03c2/g, '\u03c3');
  }

  /// The words and CJK runs of the query, folded.
  function needles(query) {
    var found = [], run = '', runKind = 0;
    function end() {
      if (run && (runKind === 2 || Array.from(run).length >= 2)) found.push({ text: run, word: runKind === 1 });
      run = '';
      runKind = 0;
    }
    for (var ch of query) {
      var k = kind(ch);
      if (k !== runKind) end();
      if (k) { run += fold(ch); runKind = k; }
    }
    end();
    return found;
  }

  function query() {
    var m = /[?&]qwfind=([^&#]*)/.exec(location.search) || /[#&]qwfind=([^&]*)/.exec(location.hash);
    if (!m) return '';
    try { return decodeURIComponent(m[1].replace(/\+/g, ' ')); } catch (e) { return ''; }
  }

  function markNode(node, wanted) {
    var text = node.nodeValue, folded = '', map = [], i = 0;
    for (var ch of text) {
      var f = kind(ch) ? fold(ch) : ch;
      for (var j = 0; j < f.length; j++) { folded += f[j]; map.push(i); }
      i += ch.length;
    }
    map.push(text.length);
    var ranges = [];
    wanted.forEach(function (n) {
      for (var at = folded.indexOf(n.text); at >= 0; at = folded.indexOf(n.text, at + n.text.length)) {
        if (n.word && at > 0 && kind(folded[at - 1]) === 1) continue;
        ranges.push([map[at], map[at + n.text.length]]);
      }
    });
    if (!ranges.length) return [];
    ranges.sort(function (a, b) { return a[0] - b[0]; });
    var marks = [], done = 0, parent = node.parentNode, after = node.nextSibling;
    var pieces = document.createDocumentFragment();
    ranges.forEach(function (r) {
      if (r[0] < done) return;
      pieces.appendChild(document.createTextNode(text.slice(done, r[0])));
      var mark = document.createElement('mark');
      mark.className = 'qw-found';
      mark.textContent = text.slice(r[0], r[1]);
      pieces.appendChild(mark);
      marks.push(mark);
      done = r[1];
    });
    pieces.appendChild(document.createTextNode(text.slice(done)));
    parent.removeChild(node);
    parent.insertBefore(pieces, after);
    return marks;
  }

  function run() {
    var wanted = needles(query());
    if (!wanted.length || !document.body) return;
    var walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT, {
      acceptNode: function (n) {
        var p = n.parentNode && n.parentNode.nodeName;
        return p === 'SCRIPT' || p === 'STYLE' || p === 'TEXTAREA' || p === 'MARK'
          ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT;
      }
    });
    var nodes = [];
    for (var n = walker.nextNode(); n; n = walker.nextNode()) nodes.push(n);
    var first = null;
    nodes.forEach(function (node) {
      var marks = markNode(node, wanted);
      if (!first && marks.length) first = marks[0];
    });
    if (first && first.scrollIntoView) first.scrollIntoView({ block: 'center' });
  }

  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', run);
  else run();
})();
