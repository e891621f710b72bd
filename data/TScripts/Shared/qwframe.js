// Frame set of a browser document: folds the contents frame away when the contents
// frame asks ("fold", "unfold"), and after a page was chosen there on a narrow screen
// ("picked"), so that the page gets the whole width. Messages are used because pages
// opened from the local disk may not reach into each other.
(function () {
  'use strict';

  var NARROW = 600;
  var FOLDED = '40,*';
  var saved = null;

  function frameSet() {
    return document.getElementsByTagName('frameset')[0];
  }

  function fold(folded) {
    var set = frameSet();
    if (!set) return;
    if (folded && saved === null) {
      saved = set.getAttribute('cols');
      set.setAttribute('cols', FOLDED);
    } else if (!folded && saved !== null) {
      set.setAttribute('cols', saved);
      saved = null;
    }
  }

  window.addEventListener('message', function (event) {
    var what = event.data && event.data.qwTree;
    if (what === 'fold') fold(true);
    else if (what === 'unfold') fold(false);
    else if (what === 'picked' && window.innerWidth <= NARROW) fold(true);
  });
})();
