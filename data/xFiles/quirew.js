/*
 * quirew.js: the behaviour behind the special effects and the related-topics button of
 * pages made by HTMLHelp Quirewright.
 *
 * Every topic page links this file; the lines that Effects.sfx appends to a page call the
 * qwInit... function of each effect the page uses. The markup those definitions write
 * already works without script (links lead to their pages, sections stay open, hints
 * show as tooltips); this file adds what needs script. Where the help viewer's own
 * control runs (the Windows help viewer) the related-topics and shortcut objects are
 * left to it; everywhere else they become plain buttons and links.
 *
 * Written in plain ES5 so that older help viewers run it too.
 */
(function () {
    'use strict';

    var doc = document;
    var HH_CONTROL = 'clsid:adb880a6-d8ff-11cf-9377-00aa003b7a11';
    var HH_KEYWORDS = 'clsid:1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e';

    // ----- small helpers ---------------------------------------------------------------

    function hasClass(el, name) {
        return (' ' + (el.className || '') + ' ').indexOf(' ' + name + ' ') >= 0;
    }

    function addClass(el, name) {
        if (!hasClass(el, name))
            el.className = el.className ? el.className + ' ' + name : name;
    }

    function removeClass(el, name) {
        el.className = (' ' + (el.className || '') + ' ').replace(' ' + name + ' ', ' ')
            .replace(/^\s+|\s+$/g, '');
    }

    function listen(el, type, handler) {
        if (el.addEventListener)
            el.addEventListener(type, handler, false);
        else if (el.attachEvent)
            el.attachEvent('on' + type, function () { handler(window.event); });
    }

    function byClass(tag, name) {
        var found = [], all = doc.getElementsByTagName(tag);
        for (var i = 0; i < all.length; ++i)
            if (hasClass(all[i], name))
                found.push(all[i]);
        return found;
    }

    function setText(el, text) {
        if ('textContent' in el)
            el.textContent = text;
        else
            el.innerText = text;
    }

    function getText(el) {
        return 'textContent' in el ? el.textContent : el.innerText;
    }

    function trim(text) {
        return String(text).replace(/^\s+|\s+$/g, '');
    }

    function onReady(handler) {
        if (doc.readyState === 'complete' || (doc.readyState === 'interactive' && doc.addEventListener))
            setTimeout(handler, 0);
        else if (doc.addEventListener)
            doc.addEventListener('DOMContentLoaded', handler, false);
        else
            listen(window, 'load', handler); // older help viewers know no DOMContentLoaded
    }

    function later(handler, ms) {
        return setTimeout(handler, ms);
    }

    /// The folder this file was loaded from (the project folder), with a trailing "/".
    function supportFolder() {
        var scripts = doc.getElementsByTagName('script');
        for (var i = 0; i < scripts.length; ++i) {
            var src = scripts[i].src || '';
            var m = /^(.*?)quirew\.js([?#].*)?$/i.exec(src);
            if (m && (m[1] === '' || /[\/\\]$/.test(m[1])))
                return m[1];
        }
        return '';
    }

    function pageOffset() {
        var de = doc.documentElement, body = doc.body || de;
        return {
            x: window.pageXOffset !== undefined ? window.pageXOffset : de.scrollLeft || body.scrollLeft,
            y: window.pageYOffset !== undefined ? window.pageYOffset : de.scrollTop || body.scrollTop
        };
    }

    function viewportWidth() {
        return window.innerWidth || doc.documentElement.clientWidth;
    }

    var styleAdded = false;

    function addStyle() {
        if (styleAdded)
            return;
        styleAdded = true;
        var css =
            '.qwPopupBox,.qwHintBox{position:absolute;z-index:1000;max-width:22em;padding:6px 9px;' +
            'background:#FFFFE1;color:#000;border:1px solid #777;box-shadow:2px 2px 6px rgba(0,0,0,.3)}' +
            '.qwHintBox{font-size:90%;pointer-events:none}' +
            '.qwCollapsed{display:none}' +
            '.qwExpander:before{content:"\\25B8\\00A0"}.qwExpander.qwOpen:before{content:"\\25BE\\00A0"}' +
            '.qwHint{border-bottom:1px dotted;cursor:help}' +
            '.qwRelated{position:relative;display:inline-block}' +
            '.qwRelatedMenu{position:absolute;left:0;bottom:100%;z-index:1000;margin:0;padding:4px 0;' +
            'list-style:none;min-width:14em;background:#fff;border:1px solid #777;' +
            'box-shadow:2px 2px 6px rgba(0,0,0,.3)}' +
            '.qwRelatedMenu a{display:block;padding:2px 12px;white-space:nowrap}' +
            '.qwSplashOverlay{position:fixed;left:0;top:0;right:0;bottom:0;z-index:2000;display:flex;' +
            'align-items:center;justify-content:center;background:rgba(255,255,255,.96);cursor:pointer}' +
            '.qwSplashOverlay img{max-width:90%;max-height:90%}' +
            '.qwBlockImage{background-repeat:repeat;padding:.5em;max-width:100%;box-sizing:border-box}';
        var style = doc.createElement('style');
        style.type = 'text/css';
        if (style.styleSheet)
            style.styleSheet.cssText = css;
        else
            style.appendChild(doc.createTextNode(css));
        (doc.getElementsByTagName('head')[0] || doc.documentElement).appendChild(style);
    }

    // ----- the floating box of pop-up texts and notes ----------------------------------

    var popupBox = null, popupOwner = null;

    function closePopup() {
        if (popupBox && popupBox.parentNode)
            popupBox.parentNode.removeChild(popupBox);
        popupBox = null;
        popupOwner = null;
    }

    /// Shows content (html, or plain text when asText) in a box just below owner.
    function showBeside(owner, content, asText, fontCss) {
        closePopup();
        addStyle();
        var box = doc.createElement('div');
        box.className = 'qwPopupBox';
        box.setAttribute('role', 'tooltip');
        if (asText)
            setText(box, content);
        else
            box.innerHTML = content;
        if (fontCss)
            box.style.font = fontCss;
        var rect = owner.getBoundingClientRect(), off = pageOffset();
        box.style.left = (rect.left + off.x) + 'px';
        box.style.top = (rect.bottom + off.y + 4) + 'px';
        doc.body.appendChild(box);
        var overflow = rect.left + box.offsetWidth - (viewportWidth() - 8);
        if (overflow > 0)
            box.style.left = Math.max(off.x + 4, rect.left + off.x - overflow) + 'px';
        popupBox = box;
        popupOwner = owner;
    }

    listen(doc, 'click', function (e) {
        var target = e.target || e.srcElement;
        for (var n = target; n; n = n.parentNode)
            if (n === popupBox || n === popupOwner)
                return;
        closePopup();
        closeRelatedMenus(target);
    });

    listen(doc, 'keydown', function (e) {
        if (e.keyCode === 27) {
            closePopup();
            closeRelatedMenus(null);
        }
    });

    // ----- pop-up texts ----------------------------------------------------------------
    // The texts live in the project's TxPopups.js, lines of the form ref="text" and one
    // MyFont="name,size,,style". The file runs inside a hidden frame of its own, so that
    // its names never overwrite the page's and a broken line cannot stop the page.

    var popupTexts = null, popupState = 'none', popupWaiting = [];

    function popupsLoaded(table, state) {
        popupTexts = table;
        popupState = state;
        var waiting = popupWaiting;
        popupWaiting = [];
        for (var i = 0; i < waiting.length; ++i)
            waiting[i]();
    }

    function loadPopupTexts(done) {
        if (done)
            popupWaiting.push(done);
        if (popupState === 'ready' || popupState === 'failed')
            return popupsLoaded(popupTexts, popupState);
        if (popupState === 'loading')
            return;
        popupState = 'loading';
        var frame = doc.createElement('iframe');
        frame.style.display = 'none';
        frame.setAttribute('aria-hidden', 'true');
        frame.setAttribute('tabindex', '-1');
        doc.body.appendChild(frame);
        var win = frame.contentWindow, fdoc = win.document;
        win.onerror = function () { return true; }; // a faulty line stays inside the frame
        var script = fdoc.createElement('script');
        var loaded = function () {
            if (popupState === 'loading')
                popupsLoaded(win, 'ready');
        };
        script.onload = loaded;
        script.onreadystatechange = function () { // older help viewers
            if (script.readyState === 'loaded' || script.readyState === 'complete')
                loaded();
        };
        script.onerror = function () { popupsLoaded(null, 'failed'); };
        script.src = supportFolder() + 'TxPopups.js';
        (fdoc.body || fdoc.documentElement).appendChild(script);
    }

    /// The CSS font of the MyFont line ("Helvetica,10,,italic"), or '' when it is missing
    /// or does not have four fields.
    function popupFont() {
        var value = popupTexts && popupTexts.MyFont;
        if (typeof value !== 'string')
            return '';
        var fields = value.split(',');
        if (fields.length !== 4)
            return '';
        var name = trim(fields[0]), size = parseInt(fields[1], 10), style = trim(fields[3]).toUpperCase();
        if (!(size > 0))
            size = 10;
        var prefix = style === 'ITALIC' ? 'italic ' : style === 'BOLD' ? 'bold ' : '';
        var family = name ? '"' + name.replace(/["\\]/g, '') + '", sans-serif' : 'sans-serif';
        return prefix + size + 'pt ' + family;
    }

    window.qwInitPopups = function () {
        var links = byClass('a', 'qwPopupLink');
        for (var i = 0; i < links.length; ++i)
            links[i].setAttribute('aria-haspopup', 'true');
        if (links.length)
            loadPopupTexts(null);
    };

    /// Shows the pop-up text named ref beside link; a second click closes it again.
    window.qwPopup = function (link, ref) {
        if (popupOwner === link) {
            closePopup();
            return false;
        }
        loadPopupTexts(function () {
            var text = popupTexts ? popupTexts[ref] : undefined;
            if (typeof text === 'string' && ref !== 'MyFont')
                showBeside(link, text, false, popupFont());
            else if (popupState === 'failed')
                showBeside(link, 'The pop-up text file TxPopups.js could not be loaded.', true, '');
            else
                showBeside(link, 'No pop-up text named "' + ref + '" in TxPopups.js.', true, '');
        });
        return false;
    };

    // ----- secondary windows -----------------------------------------------------------

    function windowFeatures(text) {
        var features = 'resizable=yes,scrollbars=yes';
        var width = /width\s*=\s*(\d+)/i.exec(text || ''), height = /height\s*=\s*(\d+)/i.exec(text || '');
        if (width && +width[1] > 0)
            features += ',width=' + width[1];
        if (height && +height[1] > 0)
            features += ',height=' + height[1];
        return features;
    }

    window.qwInitSecWins = function () {
        var links = byClass('a', 'qwSecWin');
        for (var i = 0; i < links.length; ++i)
            if (!links[i].title)
                links[i].title = 'Opens in a separate window';
    };

    /// Opens the link's page in a window of the marker's size; when the window cannot be
    /// opened the link is followed in this one instead.
    window.qwSecWin = function (link) {
        var opened = null;
        try {
            opened = window.open(link.href, 'qwSecWin', windowFeatures(link.getAttribute('data-qw-features')));
        } catch (e) {
            opened = null;
        }
        if (!opened)
            return true;
        try { opened.focus(); } catch (e) { /* another origin may refuse focus */ }
        return false;
    };

    // ----- expandable sections ---------------------------------------------------------

    function sectionOf(link) {
        var href = link.getAttribute('href') || '', hash = href.indexOf('#');
        return hash < 0 ? null : doc.getElementById(href.substring(hash + 1));
    }

    function setSectionOpen(section, open) {
        if (open)
            removeClass(section, 'qwCollapsed');
        else
            addClass(section, 'qwCollapsed');
        var links = byClass('a', 'qwExpander');
        for (var i = 0; i < links.length; ++i) {
            if (sectionOf(links[i]) !== section)
                continue;
            links[i].setAttribute('aria-expanded', open ? 'true' : 'false');
            if (open)
                addClass(links[i], 'qwOpen');
            else
                removeClass(links[i], 'qwOpen');
        }
    }

    /// Closes every section that has a link to open it; a section without one stays
    /// open, so its text can always be read.
    window.qwInitSections = function () {
        addStyle();
        var links = byClass('a', 'qwExpander');
        for (var i = 0; i < links.length; ++i) {
            var section = sectionOf(links[i]);
            if (!section || section.getAttribute('data-qw-ready'))
                continue;
            section.setAttribute('data-qw-ready', '1');
            links[i].setAttribute('aria-controls', section.id);
            setSectionOpen(section, false);
        }
    };

    window.qwToggle = function (link) {
        var section = sectionOf(link);
        if (!section)
            return true;
        setSectionOpen(section, hasClass(section, 'qwCollapsed'));
        return false;
    };

    // ----- objects of the help viewer's control ----------------------------------------

    /// True when the help viewer's own control is running in obj (it then has methods).
    function controlRuns(obj) {
        try {
            return typeof obj.Click !== 'undefined' || typeof obj.HHClick !== 'undefined';
        } catch (e) {
            return true;
        }
    }

    function helpObjects(classId) {
        var found = [], all = doc.getElementsByTagName('object');
        for (var i = 0; i < all.length; ++i) {
            var id = (all[i].getAttribute('classid') || '').toLowerCase();
            if (id === classId && !all[i].getAttribute('data-qw-ready') && !controlRuns(all[i]))
                found.push(all[i]);
        }
        return found;
    }

    /// The object's parameters: named values (lower-case names) and the Item1, Item2...
    /// values in number order.
    function objectParams(obj) {
        var params = { named: {}, items: [] }, list = obj.getElementsByTagName('param'), numbered = [];
        for (var i = 0; i < list.length; ++i) {
            var name = (list[i].getAttribute('name') || '').toLowerCase(), value = list[i].getAttribute('value') || '';
            var item = /^item(\d+)$/.exec(name);
            if (item)
                numbered.push({ n: +item[1], value: value });
            else
                params.named[name] = value;
        }
        numbered.sort(function (a, b) { return a.n - b.n; });
        for (var k = 0; k < numbered.length; ++k)
            params.items.push(numbered[k].value);
        return params;
    }

    /// A button showing the object's "Text:label" or "Bitmap:image" face.
    function controlButton(face, fallback, className) {
        var button = doc.createElement('button');
        button.type = 'button';
        button.className = className;
        var m = /^\s*(text|bitmap|icon)\s*:(.*)$/i.exec(face || '');
        if (m && m[1].toLowerCase() !== 'text' && trim(m[2])) {
            var img = doc.createElement('img');
            img.src = trim(m[2]).replace(/\\/g, '/');
            img.alt = fallback;
            button.appendChild(img);
            button.title = fallback;
        } else {
            setText(button, m && trim(m[2]) ? trim(m[2]) : trim(face || '') || fallback);
        }
        return button;
    }

    function replaceObject(obj, replacement) {
        obj.setAttribute('data-qw-ready', '1');
        obj.parentNode.insertBefore(replacement, obj);
        obj.style.display = 'none';
    }

    // ----- shortcut buttons ------------------------------------------------------------

    /// The program of a shortcut's Item1 (",program,parameters").
    function shortcutProgram(item) {
        var fields = (item || '').split(',');
        return trim(fields.length > 1 ? fields[1] : fields[0]);
    }

    window.qwInitShortcuts = function () {
        var objects = helpObjects(HH_CONTROL);
        for (var i = 0; i < objects.length; ++i) {
            var params = objectParams(objects[i]);
            if ((params.named.command || '').toLowerCase() !== 'shortcut')
                continue;
            var program = shortcutProgram(params.items[0]);
            var button = controlButton(params.named.button, 'Start ' + program, 'qwShortcutButton');
            button.setAttribute('data-qw-program', program);
            listen(button, 'click', function (e) {
                var self = e.currentTarget || e.srcElement;
                showBeside(self, 'This button starts "' + self.getAttribute('data-qw-program') +
                    '" in the Windows help viewer. A web browser cannot start programs, ' +
                    'so please start it yourself.', true, '');
            });
            replaceObject(objects[i], button);
        }
    };

    // ----- related topics --------------------------------------------------------------

    var relatedMenus = [];

    function closeRelatedMenus(target) {
        for (var i = 0; i < relatedMenus.length; ++i) {
            var holder = relatedMenus[i];
            var inside = false;
            for (var n = target; n; n = n.parentNode)
                if (n === holder)
                    inside = true;
            if (!inside)
                showRelatedMenu(holder, false);
        }
    }

    function showRelatedMenu(holder, show) {
        var menu = holder.getElementsByTagName('ul')[0], button = holder.getElementsByTagName('button')[0];
        menu.style.display = show ? '' : 'none';
        button.setAttribute('aria-expanded', show ? 'true' : 'false');
    }

    /// One "description;file" item as a link; null for an item without a file.
    function relatedLink(item) {
        var semi = item.indexOf(';');
        var title = trim(semi < 0 ? '' : item.substring(0, semi));
        var file = trim(semi < 0 ? item : item.substring(semi + 1)).replace(/\\/g, '/');
        if (!file)
            return null;
        var link = doc.createElement('a');
        link.href = file;
        link.setAttribute('role', 'menuitem');
        setText(link, title || file);
        return link;
    }

    function relatedMenu(obj, params) {
        var holder = doc.createElement('span');
        holder.className = 'qwRelated';
        var button = controlButton(params.named.button, 'Related Topics', 'qwRelatedButton');
        button.setAttribute('aria-haspopup', 'true');
        var menu = doc.createElement('ul');
        menu.className = 'qwRelatedMenu';
        menu.setAttribute('role', 'menu');
        for (var i = 0; i < params.items.length; ++i) {
            var link = relatedLink(params.items[i]);
            if (!link)
                continue;
            var entry = doc.createElement('li');
            entry.appendChild(link);
            menu.appendChild(entry);
        }
        holder.appendChild(button);
        holder.appendChild(menu);
        listen(button, 'click', function () {
            showRelatedMenu(holder, menu.style.display === 'none');
        });
        showRelatedMenu(holder, false);
        relatedMenus.push(holder);
        return holder;
    }

    /// Turns each related-topics object that cannot run here into a "Related Topics"
    /// button with a menu of links.
    window.qwInitRelated = function () {
        addStyle();
        var objects = helpObjects(HH_CONTROL);
        for (var i = 0; i < objects.length; ++i) {
            var params = objectParams(objects[i]);
            if (!/^related topics/i.test(trim(params.named.command || '')))
                continue;
            replaceObject(objects[i], relatedMenu(objects[i], params));
        }
        var keywords = helpObjects(HH_KEYWORDS);
        for (var k = 0; k < keywords.length; ++k) {
            keywords[k].setAttribute('data-qw-ready', '1');
            keywords[k].style.display = 'none';
        }
    };

    // ----- page transitions ------------------------------------------------------------

    function inset(top, right, bottom, left) {
        return { clip: 'inset(' + top + '% ' + right + '% ' + bottom + '% ' + left + '%)' };
    }

    /// The whole area minus a centred hole (percent margins mx, my): an opening frame.
    function frame(mx, my) {
        var a = mx + '% ', b = (100 - mx) + '% ', c = my + '%', d = (100 - my) + '%';
        return { clip: 'polygon(evenodd,0% 0%,100% 0%,100% 100%,0% 100%,0% 0%,' +
            a + c + ',' + a + d + ',' + b + d + ',' + b + c + ',' + a + c + ')' };
    }

    function stripes(direction, cell, p) {
        var edge = (p * 100).toFixed(1) + '%';
        return { mask: 'linear-gradient(' + direction + ',#000 ' + edge + ',transparent ' + edge + ')', size: cell };
    }

    function corner(x, y, p) {
        var d = p * 200, fx = function (v) { return (x ? 100 - v : v) + '%'; }, fy = function (v) { return (y ? 100 - v : v) + '%'; };
        return { clip: 'polygon(' + fx(0) + ' ' + fy(0) + ',' + fx(d) + ' ' + fy(0) + ',' + fx(0) + ' ' + fy(d) + ')' };
    }

    var barOrder = null;

    function randomBars(direction, p) {
        if (!barOrder) {
            barOrder = [];
            for (var i = 0; i < 40; ++i)
                barOrder.push(Math.random());
        }
        var stops = [];
        for (var k = 0; k < barOrder.length; ++k) {
            var colour = barOrder[k] < p ? '#000' : 'transparent';
            stops.push(colour + ' ' + (k * 2.5) + '%', colour + ' ' + ((k + 1) * 2.5) + '%');
        }
        return { mask: 'linear-gradient(' + direction + ',' + stops.join(',') + ')' };
    }

    function circle(inward, p) {
        var radius = Math.sqrt(Math.pow(viewportWidth(), 2) + Math.pow(window.innerHeight || 600, 2)) / 2;
        if (!inward)
            return { clip: 'circle(' + Math.round(p * radius) + 'px at 50% 50%)' };
        var r = Math.round((1 - p) * radius) + 'px';
        return { mask: 'radial-gradient(circle at 50% 50%,transparent ' + r + ',#000 ' + r + ')' };
    }

    /// The look of transition n at progress p (0 to 1): a clip path, a mask or an opacity.
    function transitionStep(n, p) {
        var q = (1 - p) * 100;
        switch (n) {
        case 0: return frame(p * 50, p * 50);
        case 1: return inset(q / 2, q / 2, q / 2, q / 2);
        case 2: return circle(true, p);
        case 3: return circle(false, p);
        case 4: return inset(q, 0, 0, 0);
        case 5: return inset(0, 0, q, 0);
        case 6: return inset(0, q, 0, 0);
        case 7: return inset(0, 0, 0, q);
        case 8: return stripes('to right', '10% 100%', p);
        case 9: return stripes('to bottom', '100% 10%', p);
        case 10: return stripes('to right', '12.5% 12.5%', p);
        case 11: return stripes('to bottom', '12.5% 12.5%', p);
        case 13: return frame(p * 50, 0);
        case 14: return inset(0, q / 2, 0, q / 2);
        case 15: return frame(0, p * 50);
        case 16: return inset(q / 2, 0, q / 2, 0);
        case 17: return corner(true, false, p);
        case 18: return corner(true, true, p);
        case 19: return corner(false, false, p);
        case 20: return corner(false, true, p);
        case 21: return randomBars('to bottom', p);
        case 22: return randomBars('to right', p);
        default: return { opacity: p }; // 12, random dissolve
        }
    }

    function applyStep(el, step) {
        var s = el.style;
        s.clipPath = s.webkitClipPath = step.clip || '';
        s.maskImage = s.webkitMaskImage = step.mask || '';
        s.maskSize = s.webkitMaskSize = step.size || '';
        s.opacity = step.opacity === undefined ? '' : String(step.opacity);
    }

    /// Duration in seconds and transition number of a "revealTrans(Duration=2,Transition=12)"
    /// text; the duration may use a decimal comma.
    function parseTransition(content) {
        var m = /duration\s*=\s*([0-9]+(?:[.,][0-9]+)?)\s*,\s*transition\s*=\s*([0-9]+)/i.exec(content || '');
        if (!m)
            return null;
        var seconds = parseFloat(m[1].replace(',', '.')), n = parseInt(m[2], 10);
        if (!(seconds >= 0))
            seconds = 2;
        if (n === 23 || n > 23)
            n = Math.floor(Math.random() * 23);
        return { seconds: Math.min(seconds, 30), n: n };
    }

    var frameRequest = window.requestAnimationFrame || function (f) { return setTimeout(f, 16); };

    window.qwInitTransition = function () {
        var metas = doc.getElementsByTagName('meta'), body = doc.body, found = null;
        for (var i = 0; i < metas.length && !found; ++i)
            if ((metas[i].getAttribute('http-equiv') || '').toLowerCase() === 'page-enter')
                found = parseTransition(metas[i].getAttribute('content'));
        if (!found || !body || body.getAttribute('data-qw-transition') !== null)
            return;
        if (window.matchMedia && window.matchMedia('(prefers-reduced-motion: reduce)').matches)
            return;
        if (doc.documentMode && doc.documentMode < 9)
            return; // the Windows help viewer plays the page transition itself
        var ms = found.seconds * 1000, start = null;
        body.setAttribute('data-qw-transition', String(found.n));
        var step = function (now) {
            if (start === null)
                start = now || new Date().getTime();
            var p = ms > 0 ? ((now || new Date().getTime()) - start) / ms : 1;
            if (p >= 1) {
                applyStep(body, {});
                body.setAttribute('data-qw-transition', 'done');
                return;
            }
            applyStep(body, transitionStep(found.n, Math.max(p, 0)));
            frameRequest(step);
        };
        applyStep(body, transitionStep(found.n, 0));
        frameRequest(step);
    };

    // ----- splash screen ---------------------------------------------------------------

    window.qwInitSplash = function () {
        addStyle();
        var images = byClass('img', 'qwSplash');
        for (var i = 0; i < images.length; ++i) {
            var img = images[i];
            if (img.getAttribute('data-qw-ready'))
                continue;
            img.setAttribute('data-qw-ready', '1');
            var delay = parseInt(img.getAttribute('data-qw-delay'), 10);
            if (!(delay > 0))
                delay = 3000;
            var overlay = doc.createElement('div');
            overlay.className = 'qwSplashOverlay';
            overlay.title = 'Click to close';
            img.parentNode.removeChild(img);
            img.style.margin = '0';
            overlay.appendChild(img);
            doc.body.appendChild(overlay);
            var close = (function (o) {
                return function () {
                    if (o.parentNode)
                        o.parentNode.removeChild(o);
                };
            })(overlay);
            listen(overlay, 'click', close);
            later(close, Math.min(delay, 60000));
        }
    };

    // ----- typing text -----------------------------------------------------------------

    function typeInto(span, text, interval) {
        var shown = 0;
        var tick = function () {
            shown += 1;
            setText(span, text.substring(0, shown));
            if (shown < text.length)
                later(tick, interval);
            else
                addClass(span, 'qwTyped');
        };
        setText(span, '');
        later(tick, interval);
    }

    /// Types each typing-text span out letter by letter, in at most four seconds.
    window.qwInitTyping = function () {
        var spans = byClass('span', 'qwTyping');
        for (var i = 0; i < spans.length; ++i) {
            var span = spans[i], text = getText(span);
            if (span.getAttribute('data-qw-ready') || !text)
                continue;
            span.setAttribute('data-qw-ready', '1');
            span.setAttribute('aria-label', text);
            typeInto(span, text, Math.max(10, Math.min(60, Math.floor(4000 / text.length))));
        }
    };

    // ----- pop-up hints ----------------------------------------------------------------

    var hintBox = null;

    function hideHint() {
        if (hintBox && hintBox.parentNode)
            hintBox.parentNode.removeChild(hintBox);
        hintBox = null;
    }

    function showHint(span) {
        hideHint();
        var box = doc.createElement('div');
        box.className = 'qwHintBox';
        box.setAttribute('role', 'tooltip');
        setText(box, span.getAttribute('data-qw-hint'));
        var rect = span.getBoundingClientRect(), off = pageOffset();
        box.style.left = (rect.left + off.x) + 'px';
        box.style.top = (rect.bottom + off.y + 2) + 'px';
        doc.body.appendChild(box);
        hintBox = box;
    }

    /// Replaces the tooltip of each hint by a hint box shown while the mouse or the
    /// keyboard focus is on the hypertext.
    window.qwInitHints = function () {
        addStyle();
        var spans = byClass('span', 'qwHint');
        for (var i = 0; i < spans.length; ++i) {
            var span = spans[i];
            if (span.getAttribute('data-qw-hint') !== null)
                continue;
            span.setAttribute('data-qw-hint', span.title);
            span.removeAttribute('title');
            span.setAttribute('tabindex', '0');
            var show = (function (s) { return function () { showHint(s); }; })(span);
            listen(span, 'mouseover', show);
            listen(span, 'focus', show);
            listen(span, 'mouseout', hideHint);
            listen(span, 'blur', hideHint);
        }
    };

    // ----- highlighted text and block images -------------------------------------------

    /// Gives highlighted text without a colour (none was chosen) the usual yellow.
    window.qwInitHighlights = function () {
        var spans = byClass('span', 'qwHighlight');
        for (var i = 0; i < spans.length; ++i)
            if (!spans[i].style.backgroundColor)
                spans[i].style.backgroundColor = '#FFFF00';
    };

    /// Lays each block's image (named by the invisible picture inside it) behind the block,
    /// tiled, at the width the marker gave; a block without a usable width spans the page.
    window.qwInitBlockImages = function () {
        addStyle();
        var blocks = byClass('div', 'qwBlockImage');
        for (var i = 0; i < blocks.length; ++i) {
            var block = blocks[i], images = block.getElementsByTagName('img'), source = null;
            for (var k = 0; k < images.length && !source; ++k)
                if (hasClass(images[k], 'qwBlockSource'))
                    source = images[k];
            if (!source || block.getAttribute('data-qw-ready'))
                continue;
            block.setAttribute('data-qw-ready', '1');
            block.style.backgroundImage = 'url("' + source.src.replace(/["\\]/g, '\\$&') + '")';
            var width = trim(source.getAttribute('data-qw-width') || '');
            block.style.width = /^\d+(\.\d+)?(px|%)$/.test(width) ? width : '100%';
        }
    };

    onReady(function () {
        window.qwInitRelated();
        window.qwInitShortcuts();
    });
})();
