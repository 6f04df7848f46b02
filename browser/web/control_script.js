// Injected into every page at document creation. It serves the components a player page
// embeds:
// - the playback control's object element (class identifier
//   7A3C0E51-9D24-4B8F-B6E2-51C9D0A4F3B8) gets its methods and properties; every call goes in
//   order to the browser over the web channel, and the browser's events go to the sink the page
//   registered;
// - a movie, media or streaming player's object element is replaced, once the document is
//   parsed, by a box of the same size whose picture the browser's player component draws, with
//   a control bar below it when the element's parameters ask for one (or in the place of a
//   separate control panel element of the same player);
// and it reports where the element that shows the picture stands, so the browser can keep its
// native window over it. Calls made before the channel is up wait in a queue; every call names
// this document by a token of its own.
// The host puts the web channel's client library in front and replaces @HWND@ by the id of the
// control's window, so that "hwnd" is answered at once.
(function () {
    'use strict';
    const kClassId = 'clsid:7a3c0e51-9d24-4b8f-b6e2-51c9d0a4f3b8';
    const kHwnd = @HWND@;
    const kMovieClass = '02bf25d5-8c17-4b23-bc80-d3488abddc6b';
    const kMediaClass = '22d6f312-b0f6-11d0-94ab-0080c74c7e95';
    const kStreamClass = 'cfcdaa03-8be4-11cf-b84b-0020afbbccfa';
    const kPlayerClasses = [kMovieClass, kMediaClass, kStreamClass];
    const kBarHeight = 24;
    const token = Math.random().toString(36).slice(2) + Date.now().toString(36);
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

    function playerClass(node) {
        const id = (node.getAttribute('classid') || '').trim().toLowerCase().replace(/^clsid:/, '');
        return kPlayerClasses.includes(id) ? id : null;
    }

    // One call of the bridge: its method, then the arguments after the document's token.
    function send(method, args) {
        if (bridge !== null) {
            bridge[method](token, ...args);
        } else {
            pending.push([method, args]);
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

    // The control bars of this document's player, updated from its events.
    const bars = [];

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
            bridge.playerCreated.connect(function (created, controls) {
                if (created && playerBox !== null) {
                    showBars(controls);
                }
            });
            bridge.playerState.connect(function (state) { bars.forEach((b) => b.state(state)); });
            bridge.playerPosition.connect(function (position, length) {
                bars.forEach((b) => b.position(position, length));
            });
            while (pending.length > 0) {
                const [method, args] = pending.shift();
                bridge[method](token, ...args);
            }
            place();
            window.requestAnimationFrame(watch);
        });
    }

    // The playback control's members.
    function method(name, count) {
        return function (...args) {
            if (!isControl(this)) {
                throw new TypeError(name + ' is not a function');
            }
            adopt(this);
            send('call', [name, args.slice(0, count)]);
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
            send('call', ['setCallback', []]);
        },
    });
    Object.defineProperty(proto, 'Repeat', {
        configurable: true,
        get: function () { return isControl(this) ? repeat : undefined; },
        set: function (value) {
            if (isControl(this)) {
                adopt(this);
                repeat = value;
                send('call', ['Repeat', [value]]);
            }
        },
    });
    Object.defineProperty(proto, 'hwnd', {
        configurable: true,
        get: function () { return isControl(this) ? kHwnd : undefined; },
    });

    // Player elements. Their fallback content never loads: an embed inside one is taken out
    // as soon as the parser adds it.
    new MutationObserver(function (records) {
        for (const record of records) {
            for (const node of record.addedNodes) {
                if (node.nodeName === 'EMBED' && node.parentElement !== null &&
                    playerClass(node.parentElement) !== null) {
                    node.remove();
                }
            }
        }
    }).observe(document, { childList: true, subtree: true });

    function paramsOf(node) {
        const params = {};
        for (const p of node.querySelectorAll(':scope > param')) {
            const name = p.getAttribute('name');
            if (name !== null && !(name in params)) {
                params[name] = p.getAttribute('value') || '';
            }
        }
        return params;
    }

    function sizeOf(node, name, fallback) {
        const value = (node.getAttribute(name) || '').trim();
        if (value === '') {
            return fallback;
        }
        return /^[0-9.]+$/.test(value) ? value + 'px' : value;
    }

    // A box of the element's size in its place.
    function replaceWithBox(node) {
        const box = document.createElement('div');
        box.style.cssText = 'display:inline-block;vertical-align:top;position:relative;' +
            'background:#000;overflow:hidden';
        box.style.width = sizeOf(node, 'width', '320px');
        box.style.height = sizeOf(node, 'height', '240px');
        node.replaceWith(box);
        return box;
    }

    function isControlPanel(node) {
        const controls = (paramsOf(node).controls || '').trim().toLowerCase();
        return playerClass(node) === kStreamClass && controls === 'controlpanel';
    }

    let playerBox = null;
    let picture = null;
    const panels = [];

    function setUpPlayers() {
        const objects = Array.from(document.querySelectorAll('object'))
            .filter((o) => playerClass(o) !== null);
        const main = objects.find((o) => !isControlPanel(o)) || objects[0];
        if (main === undefined) {
            return;
        }
        const classId = playerClass(main);
        const params = paramsOf(main);
        for (const o of objects) {
            if (o !== main && isControlPanel(o)) {
                panels.push(replaceWithBox(o));
            } else if (o !== main) {
                o.remove();
            }
        }
        playerBox = replaceWithBox(main);
        picture = document.createElement('div');
        picture.style.cssText = 'position:absolute;left:0;top:0;width:100%;height:100%';
        playerBox.appendChild(picture);
        adopt(picture);
        send('createPlayer', [classId, params]);
    }

    function showBars(controls) {
        if (panels.length > 0) {
            panels.forEach((panel) => bars.push(makeBar(panel)));
        } else if (controls) {
            picture.style.height = 'calc(100% - ' + kBarHeight + 'px)';
            const holder = document.createElement('div');
            holder.style.cssText = 'position:absolute;left:0;bottom:0;width:100%;height:' +
                kBarHeight + 'px';
            playerBox.appendChild(holder);
            bars.push(makeBar(holder));
        }
        placed = '';
        place();
    }

    function clock(ms) {
        const seconds = Math.max(0, Math.floor(ms / 1000));
        return Math.floor(seconds / 60) + ':' + String(seconds % 60).padStart(2, '0');
    }

    // Play/pause, stop, position and volume, drawn by the page.
    function makeBar(holder) {
        const bar = document.createElement('div');
        bar.className = 'kinvo-control-bar';
        bar.style.cssText = 'display:flex;align-items:center;gap:6px;box-sizing:border-box;' +
            'width:100%;height:100%;padding:0 6px;background:#202020;color:#eee;' +
            'font:12px sans-serif;user-select:none';
        const button = (text, title) => {
            const b = document.createElement('button');
            b.textContent = text;
            b.title = title;
            b.style.cssText = 'width:26px;height:20px;padding:0;border:1px solid #555;' +
                'background:#333;color:#eee;font:12px sans-serif';
            return b;
        };
        const playPause = button('\u25B6', 'Play');
        const stop = button('\u25A0', 'Stop');
        const seek = document.createElement('input');
        seek.type = 'range';
        seek.min = '0';
        seek.max = '0';
        seek.value = '0';
        seek.style.cssText = 'flex:1;min-width:40px';
        const time = document.createElement('span');
        time.textContent = '0:00';
        time.style.cssText = 'min-width:74px;text-align:center';
        const volume = document.createElement('input');
        volume.type = 'range';
        volume.min = '0';
        volume.max = '255';
        volume.value = '255';
        volume.title = 'Volume';
        volume.style.cssText = 'width:60px';
        bar.append(playPause, stop, seek, time, volume);
        holder.appendChild(bar);

        let playing = false;
        let dragging = false;
        playPause.addEventListener('click', () => send('player', [playing ? 'Pause' : 'Play', 0]));
        stop.addEventListener('click', () => send('player', ['Stop', 0]));
        seek.addEventListener('input', () => { dragging = true; });
        seek.addEventListener('change', () => {
            dragging = false;
            send('player', ['Seek', Number(seek.value)]);
        });
        volume.addEventListener('input', () => send('player', ['SetVolume', Number(volume.value)]));
        return {
            state(state) {
                playing = state === 1 || state === 2;
                playPause.textContent = playing ? '\u275A\u275A' : '\u25B6';
                playPause.title = playing ? 'Pause' : 'Play';
                if (state === 0) {
                    seek.value = '0';
                    time.textContent = '0:00';
                }
            },
            position(position, length) {
                seek.max = String(Math.max(0, length));
                seek.disabled = length <= 0;
                if (!dragging) {
                    seek.value = String(position);
                }
                time.textContent = length > 0 ? clock(position) + ' / ' + clock(length)
                    : clock(position);
            },
        };
    }

    if (document.readyState === 'loading') {
        document.addEventListener('DOMContentLoaded', setUpPlayers);
    } else {
        setUpPlayers();
    }
    window.addEventListener('pagehide', function () { send('pageGone', []); });

    connect();
})();
