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
            if (element && writers[w[0]])
                writers[w[0]](element, w[1], w[2]);
        });
    }

    new QWebChannel(qt.webChannelTransport, function (channel) {
        host = channel.objects.lexbayHost;
        host.ready(token);
    });

    return { snapshot: snapshot, apply: apply };
})();
