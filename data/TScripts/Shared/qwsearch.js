// Search box and fold button of a browser document's contents frame.
//
// The script element that loads this file stands where the box goes. The index
// "qwsearchidx.js" beside this file is loaded with a script element the first time the
// reader uses the box (pages opened from the local disk may not fetch files). Words are
// folded as the index was: compatibility decomposition, marks dropped, lower case; CJK
// text is looked up by pairs of neighbouring characters. Every word must be found; pages
// whose title holds the words come first. A result opens its page with "?qwfind=" and
// the words, which the page's own script marks.
(function () {
  'use strict';

  var me = document.currentScript;
  var base = me ? me.src : document.baseURI;
  var MAX_TERM = 40;
  var MAX_PREFIX_TERMS = 200;
  var SHOWN = 50;

  // ----- folding, as the index was built ---------------------------------------------

  var MARKS = /\p{M}/gu;
  var WORD = /[\p{L}\p{N}\p{M}]/u;
  var foldCache = Object.create(null);

  function isCjk(c) {
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x2FDF) ||
      (c >= 0x3005 && c <= 0x3007) || (c >= 0x3040 && c <= 0x30FF) ||
      (c >= 0x3130 && c <= 0x318F) || (c >= 0x31F0 && c <= 0x31FF) ||
      (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
      (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
      (c >= 0xFF66 && c <= 0xFF9F) || (c >= 0x20000 && c <= 0x3FFFF);
  }

  function foldChar(ch) {
    var c = ch.codePointAt(0);
    if (c < 128) return ch.toLowerCase();
    var f = foldCache[ch];
    if (f === undefined) {
      // CJK keeps its marks (kana voicing); compatibility forms take their usual form.
      f = isCjk(c) ? ch.normalize('NFKC')
        : ch.normalize('NFKD').replace(MARKS, '').toLowerCase().replace(/\u03c2/g, '\u03c3');
      foldCache[ch] = f;
    }
    return f;
  }

  function kind(ch) {
    var c = ch.codePointAt(0);
    if (c < 128) return /[0-9A-Za-z]/.test(ch) ? 1 : 0;
    if (isCjk(c)) return 2;
    return WORD.test(ch) ? 1 : 0;
  }

  /// The query as items that must all be found: {word} or {grams} (CJK pairs).
  function queryItems(text) {
    var items = [];
    var word = '', chars = 0, length = 0, cjk = [];
    function endWord() {
      if (chars >= 2 && word) items.push({ word: word });
      word = ''; chars = 0; length = 0;
    }
    function endCjk() {
      if (cjk.length === 1) {
        items.push({ grams: [cjk[0]], prefix: true, text: cjk[0] });
      } else if (cjk.length > 1) {
        var grams = [];
        for (var i = 0; i + 1 < cjk.length; i++) grams.push(cjk[i] + cjk[i + 1]);
        items.push({ grams: grams, text: cjk.join('') });
      }
      cjk = [];
    }
    for (var ch of text) {
      var k = kind(ch);
      if (k === 1) {
        if (cjk.length) endCjk();
        var f = foldChar(ch), n = Array.from(f).length;
        if (length + n <= MAX_TERM) { word += f; length += n; }
        chars++;
      } else if (k === 2) {
        if (chars) endWord();
        var g = foldChar(ch);
        if (g) cjk.push(g);
      } else {
        if (chars) endWord();
        if (cjk.length) endCjk();
      }
    }
    if (chars) endWord();
    if (cjk.length) endCjk();
    return items;
  }

  // ----- the index -------------------------------------------------------------------

  var index = null;
  var loading = false;
  var pending = null;
  var timing = window.qwSearchTiming = { loadStart: 0, loaded: 0, queryStart: 0, answered: 0 };

  window.qwSearchIndex = function (data) {
    index = {
      docs: data.docs ? data.docs.split('\n') : [],
      terms: data.terms ? data.terms.split('\n') : [],
      lists: data.lists ? data.lists.split(' ') : []
    };
    timing.loaded = performance.now();
    if (pending !== null) {
      var q = pending;
      pending = null;
      search(q);
    }
  };

  function load() {
    if (index || loading) return;
    loading = true;
    timing.loadStart = performance.now();
    var script = document.createElement('script');
    script.src = new URL('qwsearchidx.js', base).href;
    script.onerror = function () { showMessage('The search index is missing.'); };
    document.head.appendChild(script);
  }

  /// Compares by code points, the order of the index's terms.
  function compare(a, b) {
    var n = Math.min(a.length, b.length);
    for (var i = 0; i < n; i++) {
      var x = a.charCodeAt(i), y = b.charCodeAt(i);
      if (x === y) continue;
      var xs = x >= 0xD800 && x <= 0xDFFF, ys = y >= 0xD800 && y <= 0xDFFF;
      if (xs !== ys) return xs ? 1 : -1;
      return x < y ? -1 : 1;
    }
    return a.length - b.length;
  }

  function lowerBound(term) {
    var lo = 0, hi = index.terms.length;
    while (lo < hi) {
      var mid = (lo + hi) >> 1;
      if (compare(index.terms[mid], term) < 0) lo = mid + 1; else hi = mid;
    }
    return lo;
  }

  /// Adds the pages of term number t to the scores of one query word (the better weight
  /// of a page counts) and notes the pages whose title holds it.
  function addList(t, factor, scores, titles) {
    var list = index.lists[t], doc = 0, digits = 0;
    for (var i = 0; i < list.length; i++) {
      var c = list.charCodeAt(i);
      if (c >= 65 && c <= 90) {
        doc += digits;
        digits = 0;
        var w = c - 65, score = (w % 13 + 1) * factor;
        if (score > scores[doc]) scores[doc] = score;
        if (w >= 13) titles[doc] = 1;
      } else {
        digits = digits * 36 + (c <= 57 ? c - 48 : c - 87);
      }
    }
  }

  /// Scores and title marks of the pages holding term (and, when prefix is set, the
  /// terms it begins, at half weight).
  function termHits(term, prefix) {
    var n = index.docs.length;
    var hits = { scores: new Float32Array(n), titles: new Uint8Array(n) };
    var at = lowerBound(term);
    if (at < index.terms.length && index.terms[at] === term) addList(at, 2, hits.scores, hits.titles);
    if (prefix) {
      var taken = 0;
      for (var i = at; i < index.terms.length && taken < MAX_PREFIX_TERMS; i++) {
        var t = index.terms[i];
        if (t.lastIndexOf(term, 0) !== 0) break;
        if (t !== term) { addList(i, 1, hits.scores, hits.titles); taken++; }
      }
    }
    return hits;
  }

  /// Keeps in a the pages that b holds too, adding up their scores.
  function intersect(a, b) {
    for (var d = 0; d < a.scores.length; d++) {
      if (a.scores[d] > 0 && b.scores[d] > 0) {
        a.scores[d] += b.scores[d];
        a.titles[d] = a.titles[d] && b.titles[d];
      } else {
        a.scores[d] = 0;
      }
    }
    return a;
  }

  function itemHits(item) {
    if (item.word) return termHits(item.word, item.word.length >= 3);
    var result = null;
    for (var i = 0; i < item.grams.length; i++) {
      var hits = termHits(item.grams[i], !!item.prefix);
      result = result ? intersect(result, hits) : hits;
    }
    return result;
  }

  /// Ranked pages for the query: {items, ranked: [page numbers], total}. Pages whose
  /// title holds more of the words come first, then the higher counts, then table order.
  function find(text) {
    var items = queryItems(text);
    if (!items.length) return null;
    var n = index.docs.length;
    var scores = null, titles = new Uint16Array(n);
    for (var i = 0; i < items.length; i++) {
      var hits = itemHits(items[i]);
      for (var d = 0; d < n; d++) if (hits.titles[d] && hits.scores[d] > 0) titles[d]++;
      if (scores === null) {
        scores = hits.scores;
      } else {
        for (var e = 0; e < n; e++) scores[e] = scores[e] > 0 && hits.scores[e] > 0 ? scores[e] + hits.scores[e] : 0;
      }
    }
    var ranked = [];
    for (var p = 0; p < n; p++) if (scores[p] > 0) ranked.push(p);
    ranked.sort(function (a, b) { return titles[b] - titles[a] || scores[b] - scores[a] || a - b; });
    return { items: items, ranked: ranked };
  }

  // ----- marking words in text -------------------------------------------------------

  /// Appends text to parent with the query's words marked.
  function appendMarked(parent, text, items) {
    var folded = '', map = [];
    var i = 0;
    for (var ch of text) {
      var f = kind(ch) ? foldChar(ch) : ch.toLowerCase();
      for (var j = 0; j < f.length; j++) { folded += f[j]; map.push(i); }
      i += ch.length;
    }
    map.push(text.length);
    var ranges = [];
    items.forEach(function (item) {
      var needle = item.word || item.text;
      if (!needle) return;
      for (var at = folded.indexOf(needle); at >= 0; at = folded.indexOf(needle, at + needle.length)) {
        if (item.word && at > 0 && kind(folded[at - 1]) === 1) continue;
        ranges.push([map[at], map[at + needle.length]]);
      }
    });
    ranges.sort(function (a, b) { return a[0] - b[0]; });
    var done = 0;
    ranges.forEach(function (r) {
      if (r[0] < done) return;
      parent.appendChild(document.createTextNode(text.slice(done, r[0])));
      var mark = document.createElement('mark');
      mark.textContent = text.slice(r[0], r[1]);
      parent.appendChild(mark);
      done = r[1];
    });
    parent.appendChild(document.createTextNode(text.slice(done)));
  }

  // ----- the box ---------------------------------------------------------------------

  var results, input;

  function showMessage(text) {
    results.textContent = '';
    var p = document.createElement('div');
    p.className = 'qw-search-note';
    p.textContent = text;
    results.appendChild(p);
  }

  function resultHref(href, query) {
    var url = new URL(href, base);
    url.search = (url.search ? url.search + '&' : '?') + 'qwfind=' + encodeURIComponent(query);
    return url.href;
  }

  function search(query) {
    query = query.trim();
    if (!query) { results.textContent = ''; return; }
    timing.queryStart = timing.queryStart || performance.now();
    if (!index) { pending = query; load(); return; }
    var started = performance.now();
    var found = find(query);
    results.textContent = '';
    if (!found || !found.ranked.length) {
      showMessage(found ? 'No page holds every word.' : 'Type a word of two letters or more.');
    } else {
      var list = document.createDocumentFragment();
      var count = document.createElement('div');
      count.className = 'qw-search-note';
      count.textContent = found.ranked.length === 1 ? '1 page' : found.ranked.length + ' pages';
      list.appendChild(count);
      for (var i = 0; i < found.ranked.length && i < SHOWN; i++) {
        var d = index.docs[found.ranked[i]].split('\t');
        var hit = document.createElement('div');
        hit.className = 'qw-hit';
        var a = document.createElement('a');
        a.href = resultHref(d[1], query);
        a.target = 'frmtopic';
        appendMarked(a, d[0], found.items);
        hit.appendChild(a);
        if (d[2]) {
          var snippet = document.createElement('div');
          snippet.className = 'qw-snippet';
          appendMarked(snippet, d[2], found.items);
          hit.appendChild(snippet);
        }
        list.appendChild(hit);
      }
      results.appendChild(list);
    }
    var now = performance.now();
    if (!timing.answered) timing.answered = now;
    timing.lastQuery = now - started;
  }

  // ----- folding the contents frame away ---------------------------------------------

  function inFrameSet() {
    try { return window.parent !== window; } catch (e) { return true; }
  }

  function tell(what) {
    if (inFrameSet()) window.parent.postMessage({ qwTree: what }, '*');
  }

  function addStyle() {
    var style = document.createElement('style');
    style.textContent =
      '.qw-search{margin:4px 0 6px;font-family:sans-serif;font-size:13px}' +
      '.qw-search form{display:flex;gap:3px;margin:0}' +
      '.qw-search input{flex:1;min-width:0;font-size:14px;padding:2px 4px}' +
      '.qw-search button{font-size:14px;padding:0 6px;cursor:pointer}' +
      '.qw-search-note{color:#555;margin:4px 0}' +
      '.qw-hit{margin:5px 0}.qw-hit a{font-weight:bold}' +
      '.qw-snippet{color:#333;font-size:12px}' +
      '.qw-hit mark{background:#ffe45c;color:inherit}' +
      '#qw-unfold{display:none;font-size:18px;padding:4px 8px;cursor:pointer}' +
      '@media (max-width:90px){body>*{display:none!important}' +
      'body>#qw-unfold{display:block!important}}';
    (document.head || document.documentElement).appendChild(style);
  }

  function build() {
    addStyle();
    var box = document.createElement('div');
    box.className = 'qw-search';
    var form = document.createElement('form');
    form.setAttribute('role', 'search');
    input = document.createElement('input');
    input.type = 'search';
    input.id = 'qw-search-input';
    input.placeholder = 'Search';
    input.setAttribute('aria-label', 'Search this document');
    form.appendChild(input);
    if (inFrameSet()) {
      var fold = document.createElement('button');
      fold.type = 'button';
      fold.className = 'qw-fold';
      fold.title = 'Hide the contents';
      fold.textContent = '\u00ab';
      fold.addEventListener('click', function () { tell('fold'); });
      form.appendChild(fold);
      var unfold = document.createElement('button');
      unfold.type = 'button';
      unfold.id = 'qw-unfold';
      unfold.title = 'Show the contents';
      unfold.textContent = '\u2630';
      unfold.addEventListener('click', function () { tell('unfold'); });
      document.body.appendChild(unfold);
    }
    results = document.createElement('div');
    results.className = 'qw-results';
    results.setAttribute('aria-live', 'polite');
    box.appendChild(form);
    box.appendChild(results);
    if (me && me.parentNode && me.parentNode !== document.head) me.parentNode.insertBefore(box, me);
    else document.body.insertBefore(box, document.body.firstChild);

    // The index loads when the reader heads for the box, not with every contents page.
    input.addEventListener('focus', load);
    box.addEventListener('pointerenter', load);
    input.addEventListener('input', function () { search(input.value); });
    form.addEventListener('submit', function (event) {
      event.preventDefault();
      search(input.value);
    });
    // On a narrow screen a chosen page gets the whole width: the contents fold away.
    document.addEventListener('click', function (event) {
      var a = event.target.closest && event.target.closest('a[target="frmtopic"]');
      if (a) tell('picked');
    });
  }

  if (document.body) build();
  else document.addEventListener('DOMContentLoaded', build);
  window.qwSearchFind = function (text) { return index ? find(text) : null; };
})();
