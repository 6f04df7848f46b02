// Injected into every page at document creation. It gives the object element of the playback
// control (class identifier 7A3C0E51-9D24-4B8F-B6E2-51C9D0A4F3B8) its methods and properties,
// forwards every call in order to the browser over the web channel, hands the browser's events
// to the sink the page registered, and reports where the element stands so the browser can keep
// the control's window over it. Calls made before the channel is up wait in a queue.
// The host puts the web channel's client library in front and replaces @HWND@ by the id of the
// control's window, so that "hwnd" is answered at once.
(function () {
    'use strict';
    const kClassId = 'clsid:7a3c0e51-9d24-4b8f-b6e2-51c9d0a4f3b8';
    const kHwnd = @HWND@;
    const pending = [];
    let bridge = null;
    let sink = null;
    let element = null;
    let placed = '';
    let repeat = 0;

    function isControl(node) {
        const id = node.getAttribute('classid');
        return id !== null && id.trim().toLowerCase() === kClassId;
    }

    function send(name, args) {
        if (bridge !== null) {
            bridge.call(name, args);
        } else {
            pending.push([name, args]);
        }
    }

    function place() {
        if (element === null || bridge === null) {
            return;
        }
        const r = element.getBoundingClientRect();
        const text = [r.left, r.top, r.width, r.height].join(',');
        if (text !== placed) {
            placed = text;
            bridge.placeWindow(r.left, r.top, r.width, r.height);
        }
    }

    function watch() {
        place();
        window.requestAnimationFrame(watch);
    }

    function adopt(node) {
        if (element !== node) {
            element = node;
            placed = '';
            place();
        }
    }

    function deliver(member, args) {
        if (sink !== null && typeof sink[member] === 'function') {
            sink[member].apply(sink, args);
        }
    }

    function connect() {
        if (typeof qt === 'undefined' || !qt.webChannelTransport) {
            window.setTimeout(connect, 20);
            return;
        }
        new QWebChannel(qt.webChannelTransport, function (channel) {
            bridge = channel.objects.kinvoControl;
            bridge.msgEvent.connect(function (code) { deliver('SonariMsgEvent', [code]); });
            bridge.status.connect(function (code, value) { deliver('SonariStatus', [code, value]); });
            bridge.metaData.connect(function (data, size) { deliver('SonariMetaData', [data, size]); });
            while (pending.length > 0) {
                const [name, args] = pending.shift();
                bridge.call(name, args);
            }
            place();
            window.requestAnimationFrame(watch);
        });
    }

    // A method of the control: forwards its first `count` arguments.
    function method(name, count) {
        return function (...args) {
            if (!isControl(this)) {
                throw new TypeError(name + ' is not a function');
            }
            adopt(this);
            send(name, args.slice(0, count));
        };
    }

    const proto = HTMLObjectElement.prototype;
    const methods = {
        SetCrossInstanceControl: 1, SetVideoAutoSize: 1, SetVideoLogo: 1, SetRetryParams: 2,
        SetFallbackParams: 2, SetUseCustomDRMURL: 1, AppendFileToPlaylist: 1, Play: 0,
        SetVideoHWND: 1, Deinitialize: 0,
    };
    for (const name of Object.keys(methods)) {
        Object.defineProperty(proto, name, { value: method(name, methods[name]), configurable: true });
    }
    Object.defineProperty(proto, 'setCallback', {
        configurable: true,
        value: function (events) {
            if (!isControl(this)) {
                throw new TypeError('setCallback is not a function');
            }
            adopt(this);
            sink = events;
            send('setCallback', []);
        },
    });
    Object.defineProperty(proto, 'Repeat', {
        configurable: true,
        get: function () { return isControl(this) ? repeat : undefined; },
        set: function (value) {
            if (isControl(this)) {
                adopt(this);
                repeat = value;
                send('Repeat', [value]);
            }
        },
    });
    Object.defineProperty(proto, 'hwnd', {
        configurable: true,
        get: function () { return isControl(this) ? kHwnd : undefined; },
    });

    connect();
})();
