// Contents tree of a browser document. The tree file calls the functions below in table
// order; done() draws the tree into the element with the id "tree". Chapters open and
// close on a click, the top line opens or closes them all, and the topic shown in the
// right-hand frame is marked. Titles are HTML written by the author; hints are plain text.
(function () {
  'use strict';

  function QwTree(title, prefix, defaultTopic) {
    this.title = title;
    this.prefix = prefix;
    this.defaultTopic = defaultTopic;
    this.items = [];
    this.chapter = null;
    this.links = [];
    this.current = null;
    this.allOpen = false;
    this.followed = '';
  }

  QwTree.prototype.entry = function (title, hint, href, icon) {
    this.items.push({ kind: 'entry', title: title, hint: hint, href: href, icon: icon });
  };

  QwTree.prototype.beginChapter = function (title, hint) {
    this.chapter = { kind: 'chapter', title: title, hint: hint, topics: [] };
    this.items.push(this.chapter);
  };

  QwTree.prototype.topic = function (title, hint, href, icon) {
    var item = { kind: 'topic', title: title, hint: hint, href: href, icon: icon };
    if (this.chapter) {
      this.chapter.topics.push(item);
    } else {
      item.kind = 'entry';
      this.items.push(item);
    }
  };

  QwTree.prototype.endChapter = function () {
    this.chapter = null;
  };

  QwTree.prototype.done = function () {
    var self = this;
    if (document.readyState === 'loading') {
      document.addEventListener('DOMContentLoaded', function () { self.render(); });
    } else {
      self.render();
    }
  };

  function image(src, alt) {
    var img = document.createElement('img');
    img.src = src;
    img.width = 19;
    img.height = 18;
    img.alt = alt || '';
    img.className = 'qw-img';
    return img;
  }

  function line(parts) {
    var div = document.createElement('div');
    div.className = 'qw-line';
    for (var i = 0; i < parts.length; i++) div.appendChild(parts[i]);
    return div;
  }

  function status(element, text) {
    element.title = text;
    element.addEventListener('mouseover', function () { window.status = text; });
    element.addEventListener('mouseout', function () { window.status = ''; });
  }

  QwTree.prototype.link = function (item) {
    var self = this;
    var a = document.createElement('a');
    a.href = item.href;
    a.target = 'frmtopic';
    a.className = 'qw-topic';
    a.innerHTML = item.title;
    status(a, item.hint);
    a.addEventListener('click', function () { self.mark(a); });
    this.links.push(a);
    return a;
  };

  QwTree.prototype.mark = function (a) {
    if (this.current) this.current.classList.remove('qw-current');
    this.current = a;
    if (!a) return;
    a.classList.add('qw-current');
    var chapter = a.closest('.qw-chapter');
    if (chapter && !chapter.classList.contains('qw-open')) this.toggle(chapter);
  };

  QwTree.prototype.toggle = function (chapter, open) {
    var isOpen = open === undefined ? !chapter.classList.contains('qw-open') : open;
    chapter.classList.toggle('qw-open', isOpen);
    chapter.querySelector('.qw-toggle').src = isOpen ? 'minus.gif' : 'plus.gif';
    chapter.querySelector('.qw-folder').src = isOpen ? 'fol_open.gif' : 'fol_clos.gif';
    chapter.querySelector('.qw-topics').style.display = isOpen ? '' : 'none';
  };

  QwTree.prototype.chapterBlock = function (item) {
    var self = this;
    var block = document.createElement('div');
    block.className = 'qw-chapter';
    var label = document.createElement('a');
    label.href = '#';
    label.className = 'qw-chapter-title';
    label.innerHTML = item.title;
    status(label, item.hint);
    var head = line([image('plus.gif', 'Click to Expand'), image('fol_clos.gif', ''), label]);
    head.firstChild.className += ' qw-toggle';
    head.childNodes[1].className += ' qw-folder';
    head.addEventListener('click', function (event) {
      event.preventDefault();
      self.toggle(block);
    });
    var topics = document.createElement('div');
    topics.className = 'qw-topics';
    topics.style.display = 'none';
    for (var i = 0; i < item.topics.length; i++) {
      var last = i === item.topics.length - 1;
      var topic = item.topics[i];
      topics.appendChild(line([image('branch_i.gif'), image(last ? 'branch_l.gif' : 'branch_t.gif'),
        image(topic.icon), this.link(topic)]));
    }
    block.appendChild(head);
    block.appendChild(topics);
    return block;
  };

  QwTree.prototype.render = function () {
    var self = this;
    var root = document.getElementById('tree');
    if (!root) return;
    var top = document.createElement('a');
    top.href = '#';
    top.className = 'qw-title';
    top.innerHTML = this.title;
    status(top, 'Click To Expand All');
    var topLine = line([image('treetop.gif', 'Click To Expand All'), top]);
    topLine.addEventListener('click', function (event) {
      event.preventDefault();
      self.allOpen = !self.allOpen;
      var chapters = root.querySelectorAll('.qw-chapter');
      for (var i = 0; i < chapters.length; i++) self.toggle(chapters[i], self.allOpen);
    });
    root.appendChild(topLine);
    for (var i = 0; i < this.items.length; i++) {
      var item = this.items[i];
      if (item.kind === 'chapter') {
        root.appendChild(this.chapterBlock(item));
      } else {
        var last = i === this.items.length - 1;
        root.appendChild(line([image(last ? 'branch_l.gif' : 'branch_t.gif'), image(item.icon),
          this.link(item)]));
      }
    }
    this.follow(this.prefix + this.defaultTopic);
    window.setInterval(function () { self.followFrame(); }, 700);
  };

  /// Marks the link whose target is href (a path relative to this page or a full URL).
  QwTree.prototype.follow = function (href) {
    var wanted = new URL(href, document.baseURI).href;
    for (var i = 0; i < this.links.length; i++) {
      if (this.links[i].href === wanted) {
        if (this.current !== this.links[i]) this.mark(this.links[i]);
        return;
      }
    }
  };

  /// Follows the page shown in the right-hand frame, where the browser lets us read it.
  QwTree.prototype.followFrame = function () {
    try {
      var frame = window.parent && window.parent.frames['frmtopic'];
      // A page opened from a search result carries the words searched for.
      var href = frame && frame.location
        ? frame.location.href.split('#')[0].replace(/[?&]qwfind=[^&]*$/, '') : '';
      if (href && href !== 'about:blank' && href !== this.followed) {
        this.followed = href;
        this.follow(href);
      }
    } catch (e) {
      // Pages of another origin cannot be read; the mark then follows the clicks only.
    }
  };

  window.QwTree = QwTree;
})();
