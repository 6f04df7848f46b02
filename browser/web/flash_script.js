// Flash on player pages: every Flash object element (by its class id, or an embed of the Flash
// type outside such an object) leaves the page as the parser adds it, before it can ask for a
// plug-in, and a box of its size takes its place. Once the page is parsed and the emulator's
// script has loaded from the program's own scheme, each box gets the emulator's player playing
// the element's movie. Pages without Flash never load the emulator.
(function () {
    'use strict';
    const emulatorAddress = '@RUFFLE@';
    const emulatorRelay = '@RELAY@';
    const flashClassId = 'clsid:d27cdb6e-ae6d-11cf-96b8-444553540000';
    const flashType = 'application/x-shockwave-flash';

    const relayedMovies = new Set();  // absolute addresses of the players' movies
    const waiting = [];  // {box, element}: replaced elements whose player is still to come
    let emulatorRequested = false;
    let emulatorReady = false;

    function isFlashObject(node) {
        return node.nodeName === 'OBJECT' &&
            (node.getAttribute('classid') || '').trim().toLowerCase() === flashClassId;
    }

    function isFlashEmbed(node) {
        if (node.nodeName !== 'EMBED' ||
            (node.getAttribute('type') || '').trim().toLowerCase() !== flashType) {
            return false;
        }
        for (let up = node.parentElement; up; up = up.parentElement) {
            if (isFlashObject(up)) {
                return false;
            }
        }
        return true;
    }

    // A size attribute as CSS: a bare number counts pixels, anything else (50%) stays.
    function cssSize(value) {
        const text = (value || '').trim();
        if (text === '') {
            return '';
        }
        return /^\d+(\.\d+)?$/.test(text) ? text + 'px' : text;
    }

    // The movie: the object's "movie" (or "src") parameter, else its embed's source, else its
    // data attribute. Read only after parsing, when the element has all its children.
    function movieOf(element) {
        if (element.nodeName === 'EMBED') {
            return element.getAttribute('src') || '';
        }
        for (const param of element.querySelectorAll('param')) {
            const name = (param.getAttribute('name') || '').toLowerCase();
            if ((name === 'movie' || name === 'src') && param.getAttribute('value')) {
                return param.getAttribute('value');
            }
        }
        const embed = element.querySelector('embed');
        if (embed && embed.getAttribute('src')) {
            return embed.getAttribute('src');
        }
        return element.getAttribute('data') || '';
    }

    // The engine's fetch serves only its built-in schemes, and the emulator fetches its
    // WebAssembly; a request for the emulator's files goes through XMLHttpRequest instead, which
    // reaches the program's scheme. The local page may not read a station's answer (the station
    // sends no CORS headers), so the movies given to the players come through the program's
    // relay the same way. Every other request is the page's own fetch, untouched.
    function fetchThroughRequest(pageFetch) {
        return function (input, init) {
            const url = input instanceof Request ? input.url : String(input);
            let target = url;
            if (relayedMovies.has(url)) {
                target = emulatorRelay + encodeURIComponent(url);
            } else if (!url.startsWith(emulatorAddress)) {
                return pageFetch.call(this, input, init);
            }
            return new Promise(function (resolve, reject) {
                const request = new XMLHttpRequest();
                request.open('GET', target);
                request.responseType = 'arraybuffer';
                request.onload = function () {
                    resolve(new Response(request.response, {
                        status: request.status || 200,
                        headers: {
                            'Content-Type': request.getResponseHeader('Content-Type') ||
                                'application/octet-stream',
                        },
                    }));
                };
                request.onerror = function () {
                    reject(new TypeError('Failed to fetch ' + url));
                };
                request.send();
            });
        };
    }

    function requestEmulator() {
        if (emulatorRequested) {
            return;
        }
        emulatorRequested = true;
        window.fetch = fetchThroughRequest(window.fetch);
        window.RufflePlayer = window.RufflePlayer || {};
        window.RufflePlayer.config = {
            publicPath: emulatorAddress,
            polyfills: false,  // this script alone decides what the emulator replaces
        };
        const script = document.createElement('script');
        script.src = emulatorAddress + 'ruffle.js';
        script.onload = function () {
            emulatorReady = true;
            startPlayers();
        };
        script.onerror = function () {
            console.error('kinvo: the Flash emulator could not be loaded from ' + script.src);
        };
        (document.head || document.documentElement).appendChild(script);
    }

    function replace(element) {
        if (!element.isConnected || !element.parentNode) {
            return;
        }
        const box = document.createElement('div');
        // Laid out as the object was: an inline box whose bottom edge sits on the baseline.
        box.style.display = 'inline-block';
        box.style.overflow = 'hidden';
        box.style.width = cssSize(element.getAttribute('width'));
        box.style.height = cssSize(element.getAttribute('height'));
        if (element.id) {
            box.id = element.id;
        }
        box.setAttribute('data-kinvo-flash', '');
        element.parentNode.replaceChild(box, element);
        waiting.push({box: box, element: element});
        requestEmulator();
    }

    function startPlayers() {
        if (!emulatorReady || document.readyState === 'loading') {
            return;
        }
        const emulator = window.RufflePlayer.newest();
        while (waiting.length > 0) {
            const item = waiting.shift();
            const movie = movieOf(item.element);
            if (movie === '') {
                continue;
            }
            const url = new URL(movie, document.baseURI).href;
            if (url.startsWith('http:') || url.startsWith('https:')) {
                relayedMovies.add(url);
            }
            const player = emulator.createPlayer();
            player.style.width = '100%';
            player.style.height = '100%';
            item.box.appendChild(player);
            player.ruffle().load({
                url: url,
                autoplay: 'on',
                unmuteOverlay: 'hidden',
                splashScreen: false,
                letterbox: 'on',
                contextMenu: 'off',
                warnOnUnsupportedContent: false,
            }).catch(function (error) {
                console.error('kinvo: the Flash movie ' + url + ' did not load: ' + error);
            });
        }
    }

    function visit(node) {
        if (node.nodeType !== Node.ELEMENT_NODE) {
            return;
        }
        if (isFlashObject(node) || isFlashEmbed(node)) {
            replace(node);
            return;
        }
        for (const inner of node.querySelectorAll('object, embed')) {
            if (isFlashObject(inner) || isFlashEmbed(inner)) {
                replace(inner);
            }
        }
    }

    new MutationObserver(function (records) {
        for (const record of records) {
            for (const node of record.addedNodes) {
                visit(node);
            }
        }
    }).observe(document, {childList: true, subtree: true});
    document.addEventListener('DOMContentLoaded', function () {
        if (document.documentElement) {
            visit(document.documentElement);
        }
        startPlayers();
    });
})();
