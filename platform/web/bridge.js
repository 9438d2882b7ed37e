// Runs in the application's isolated world of every page the view shows,
// after qwebchannel.js. The page's own scripts are off; this is the only
// code that touches the page. Every page instance gets a token so that
// writes and presses never cross from one page to the next.
var lexbay = (function () {
    'use strict';
    var token = String(Date.now()) + '-' + String(Math.random()).slice(2);
    var elements = [];
    var host = null;

    function onPress(index) {
        if (host)
            host.pressed(token, index);
    }

    // Every element in document order: tag name, id, and the inner markup of
    // links (the sentence texts; other elements' markup is never read). As
    // JSON text, which crosses to the host several times faster than objects.
    function snapshot() {
        elements = Array.prototype.slice.call(document.getElementsByTagName('*'));
        return JSON.stringify({
            token: token,
            elements: elements.map(function (e) {
                return [e.tagName, e.id, e.tagName === 'A' ? e.innerHTML : ''];
            })
        });
    }

    // The spoken word's mark: boxes over the characters of an element's text,
    // in one container under the root element, outside the body, so that the
    // page's elements and text stay exactly as they are. Drawn again when the
    // window's size changes the lines.
    var spoken = { element: null, from: 0, length: 0, boxes: null };

    // The range of characters [from, from + length) of element's text.
    function textRange(element, from, length) {
        var walker = document.createTreeWalker(element, NodeFilter.SHOW_TEXT);
        var range = document.createRange();
        var seen = 0;
        var started = false;
        for (var node = walker.nextNode(); node; node = walker.nextNode()) {
            var end = seen + node.data.length;
            if (!started && from < end) {
                range.setStart(node, from - seen);
                started = true;
            }
            if (started && from + length <= end) {
                range.setEnd(node, from + length - seen);
                return range;
            }
            seen = end;
        }
        return null;
    }

    function drawSpoken() {
        if (spoken.boxes) {
            spoken.boxes.remove();
            spoken.boxes = null;
        }
        var range = spoken.element ? textRange(spoken.element, spoken.from, spoken.length) : null;
        if (!range)
            return;
        var boxes = document.createElement('div');
        boxes.setAttribute('aria-hidden', 'true');
        // Multiplied into what lies below, as one layer: the letters show
        // through in their own colour.
        boxes.style.cssText = 'position:absolute;left:0;top:0;width:0;height:0;margin:0;padding:0;border:0;'
            + 'pointer-events:none;user-select:none;z-index:2147483647;mix-blend-mode:multiply';
        Array.prototype.forEach.call(range.getClientRects(), function (r) {
            var box = document.createElement('div');
            box.style.cssText = 'position:absolute;margin:0;padding:0;border:0;border-radius:2px;'
                + 'background:#ffe070;'
                + 'left:' + (r.left + window.scrollX) + 'px;top:' + (r.top + window.scrollY) + 'px;'
                + 'width:' + r.width + 'px;height:' + r.height + 'px';
            boxes.appendChild(box);
        });
        document.documentElement.appendChild(boxes);
        spoken.boxes = boxes;
    }

    // span: [from, length]; no element (or no span) takes the mark away.
    function markSpoken(element, span) {
        spoken.element = element && span && span[1] > 0 ? element : null;
        spoken.from = span ? span[0] : 0;
        spoken.length = span ? span[1] : 0;
        drawSpoken();
    }

    // The letters a word is made of: Latin letters and digits, with the
    // apostrophes, hyphens and stops inside words ("don't", "well-known",
    // "Mr."). What is around the word the host takes away.
    var wordLetter = /[0-9A-Za-z\u00c0-\u024f'\u2019.\-]/;

    // The offset of a text node's character within element's text.
    function offsetIn(element, node, offset) {
        var walker = document.createTreeWalker(element, NodeFilter.SHOW_TEXT);
        var seen = 0;
        for (var n = walker.nextNode(); n; n = walker.nextNode()) {
            if (n === node)
                return seen + offset;
            seen += n.data.length;
        }
        return -1;
    }

    // tell: the host's wordChosen, or its wordPointedAt.
    function tellWord(element, from, length, tell) {
        var range = textRange(element, from, length);
        var index = elements.indexOf(element);
        if (!host || !range || index < 0)
            return;
        var r = range.getBoundingClientRect();
        (tell || host.wordChosen)(token, index, from, length, range.toString(), [r.left, r.top, r.width, r.height]);
    }

    // The word under a point: its element (the link it stands in, or its
    // own element) and its characters there; null off any word.
    function wordAt(x, y) {
        var caret = document.caretRangeFromPoint(x, y);
        if (!caret || caret.startContainer.nodeType !== Node.TEXT_NODE)
            return null;
        var node = caret.startContainer;
        var text = node.data;
        var start = caret.startOffset;
        var end = start;
        while (start > 0 && wordLetter.test(text.charAt(start - 1)))
            --start;
        while (end < text.length && wordLetter.test(text.charAt(end)))
            ++end;
        if (start === end)
            return null;
        var element = node.parentElement.closest('a') || node.parentElement;
        var from = offsetIn(element, node, start);
        return from < 0 ? null : { element: element, from: from, length: end - start };
    }

    // The word book's words, underlined wherever the page's shown text has
    // them: boxes in a layer of their own, like the spoken word's, so the
    // text stays as it is. Text shown in the page's background colour (the
    // English recall-English hides) gets none, so it gives nothing away.
    var kept = { words: null, boxes: null };
    var keptWord = /[A-Za-z\u00c0-\u024f]+(?:['\u2019\-][A-Za-z\u00c0-\u024f]+)*/g;

    function shownInBackground(element) {
        return getComputedStyle(element).color === getComputedStyle(document.body).backgroundColor;
    }

    function drawKept() {
        if (kept.boxes) {
            kept.boxes.remove();
            kept.boxes = null;
        }
        if (!kept.words || !document.body)
            return;
        var layer = document.createElement('div');
        layer.setAttribute('aria-hidden', 'true');
        layer.style.cssText = 'position:absolute;left:0;top:0;width:0;height:0;margin:0;padding:0;border:0;'
            + 'pointer-events:none;user-select:none;z-index:2147483646';
        var walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
        var range = document.createRange();
        for (var node = walker.nextNode(); node; node = walker.nextNode()) {
            if (!node.parentElement || shownInBackground(node.parentElement))
                continue;
            keptWord.lastIndex = 0;
            for (var m = keptWord.exec(node.data); m; m = keptWord.exec(node.data)) {
                if (!kept.words.has(m[0].toLowerCase().replace('\u2019', "'")))
                    continue;
                range.setStart(node, m.index);
                range.setEnd(node, m.index + m[0].length);
                Array.prototype.forEach.call(range.getClientRects(), function (r) {
                    var line = document.createElement('div');
                    line.style.cssText = 'position:absolute;margin:0;padding:0;border:0;'
                        + 'border-bottom:2px dotted #c08a00;'
                        + 'left:' + (r.left + window.scrollX) + 'px;top:' + (r.bottom + window.scrollY - 2) + 'px;'
                        + 'width:' + r.width + 'px;height:0';
                    layer.appendChild(line);
                });
            }
        }
        document.documentElement.appendChild(layer);
        kept.boxes = layer;
    }

    function markKept(words) {
        kept.words = words ? new Set(words.split(' ')) : null;
        drawKept();
    }

    document.addEventListener('dblclick', function (event) {
        var word = wordAt(event.clientX, event.clientY);
        if (word)
            tellWord(word.element, word.from, word.length);
    });

    // A right-click: the host hears which element it came on (the nearest
    // of the page's own around the pointer) and where, and shows its menu.
    document.addEventListener('contextmenu', function (event) {
        event.preventDefault();
        if (!host)
            return;
        var element = event.target;
        while (element && elements.indexOf(element) < 0)
            element = element.parentElement;
        host.menuAsked(token, element ? elements.indexOf(element) : -1, event.clientX, event.clientY);
    });

    // When the learner wants it, the host hears each time the pointer comes
    // onto another word or off all words, and takes a word it rests on as
    // chosen. (The page's scripts are off, and its timers with them.)
    var pointing = { on: false, key: '' };
    document.addEventListener('mousemove', function (event) {
        if (!pointing.on || !host)
            return;
        var word = wordAt(event.clientX, event.clientY);
        var key = word ? elements.indexOf(word.element) + ':' + word.from : '';
        if (key === pointing.key)
            return;
        pointing.key = key;
        if (word)
            tellWord(word.element, word.from, word.length, host.wordPointedAt);
        else
            host.wordPointedAt(token, -1, 0, 0, '', []);
    });

    window.addEventListener('resize', function () {
        if (spoken.element)
            drawSpoken();
        if (kept.words)
            drawKept();
    });

    var writers = {
        color: function (e, index, value) { e.style.color = value; },
        cursor: function (e, index, value) { e.style.cursor = value; },
        listen: function (e, index) {
            e.addEventListener('mousedown', function () { onPress(index); });
        }
    };

    // writes: [[kind, element index, value], ...] in the order they were made.
    function apply(forToken, writes) {
        if (forToken !== token)
            return;
        var coloured = false;
        writes.forEach(function (w) {
            coloured = coloured || w[0] === 'color';
            if (w[0] === 'words') {
                markKept(w[2]);
                return;
            }
            if (w[0] === 'rest') {
                pointing.on = w[2] === '1';
                pointing.key = '';
                return;
            }
            var element = elements[w[1]];
            if (w[0] === 'mark')
                markSpoken(element, w[2]);
            else if (w[0] === 'locate' && element)
                tellWord(element, w[2][0], w[2][1]);
            else if (element && writers[w[0]])
                writers[w[0]](element, w[1], w[2]);
        });
        // A line shown or hidden shows or hides its marks.
        if (coloured && kept.words)
            drawKept();
    }

    new QWebChannel(qt.webChannelTransport, function (channel) {
        host = channel.objects.lexbayHost;
        host.ready(token);
    });

    return { snapshot: snapshot, apply: apply };
})();
