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

    window.addEventListener('resize', function () {
        if (spoken.element)
            drawSpoken();
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
        writes.forEach(function (w) {
            var element = elements[w[1]];
            if (w[0] === 'mark')
                markSpoken(element, w[2]);
            else if (element && writers[w[0]])
                writers[w[0]](element, w[1], w[2]);
        });
    }

    new QWebChannel(qt.webChannelTransport, function (channel) {
        host = channel.objects.lexbayHost;
        host.ready(token);
    });

    return { snapshot: snapshot, apply: apply };
})();
