// Teach mode in the page: clicks are caught before the page sees them (no link is followed, no
// script of the page runs for them) and queued for Listoro to take; the elements a rule selects
// are outlined. Everything is undone by stop().
// It runs in a JavaScript world of its own: the page's scripts cannot call it or read its queue.
// Only clicks the browser marks as the user's (isTrusted) are queued, each with the path of the
// element itself, so a page can neither click for the user nor, by repeating a text, have
// another element taken for the one clicked.
(function () {
    'use strict';
    if (window.__listoroTeach)
        return;

    const style = document.createElement('style');
    style.textContent = [
        '.listoro-teach-hover { outline: 2px dashed #e8891c !important; outline-offset: 1px; cursor: crosshair !important; }',
        '.listoro-teach-match { outline: 3px solid #2f8f3a !important; outline-offset: 1px; background-color: rgba(47, 143, 58, 0.12) !important; }',
        '.listoro-teach-chosen { outline: 3px solid #1c62c4 !important; outline-offset: 1px; background-color: rgba(28, 98, 196, 0.14) !important; }',
        '.listoro-teach-excluded { outline: 3px solid #c4301c !important; outline-offset: 1px; opacity: 0.55 !important; }',
    ].join('\n');

    const queue = [];
    let hovered = null;
    // The outlined elements, by this script's own record: a class in the page says nothing, the
    // page can set it.
    let marked = new Set();

    function closest(element, tag) {
        for (let e = element; e && e.nodeType === 1; e = e.parentElement) {
            if (e.tagName.toLowerCase() === tag)
                return e;
        }
        return null;
    }

    // /html[1]/body[1]/ul[1]/li[2]/a[1]: each element's tag and its position among its
    // parent's elements of that tag.
    function pathOf(element) {
        if (!element)
            return '';
        const steps = [];
        for (let e = element; e && e.nodeType === 1; e = e.parentElement) {
            let index = 1;
            for (let s = e.previousElementSibling; s; s = s.previousElementSibling) {
                if (s.localName === e.localName)
                    ++index;
            }
            steps.unshift(e.localName + '[' + index + ']');
        }
        return '/' + steps.join('/');
    }

    function isMarked(target) {
        for (let e = target; e; e = e.parentElement) {
            if (marked.has(e))
                return true;
        }
        return false;
    }

    function describe(target) {
        const link = closest(target, 'a');
        const image = target.tagName && target.tagName.toLowerCase() === 'img' ? target
            : target.querySelector && target.querySelector('img');
        return {
            tag: target.tagName ? target.tagName.toLowerCase() : '',
            text: (target.innerText || target.textContent || '').trim().slice(0, 500),
            linkText: link ? (link.innerText || link.textContent || '').trim().slice(0, 500) : '',
            href: link ? link.getAttribute('href') || '' : '',
            src: image ? image.getAttribute('src') || '' : '',
            path: pathOf(target),
            linkPath: pathOf(link),
            imagePath: pathOf(image),
            highlighted: isMarked(target),
        };
    }

    function swallow(event) {
        event.preventDefault();
        event.stopPropagation();
        event.stopImmediatePropagation();
    }

    function onClick(event) {
        swallow(event);
        if (event.isTrusted && event.button === 0 && event.type === 'click')
            queue.push(describe(event.target));
    }

    function onOver(event) {
        if (hovered)
            hovered.classList.remove('listoro-teach-hover');
        hovered = event.target;
        if (hovered && hovered.classList)
            hovered.classList.add('listoro-teach-hover');
    }

    const caught = ['click', 'mousedown', 'mouseup', 'auxclick', 'dblclick', 'submit'];

    function elementsOf(xpath) {
        const found = [];
        let snapshot;
        try {
            snapshot = document.evaluate(xpath, document, null,
                                         XPathResult.ORDERED_NODE_SNAPSHOT_TYPE, null);
        } catch (e) {
            return found;
        }
        for (let i = 0; i < snapshot.snapshotLength; ++i) {
            let node = snapshot.snapshotItem(i);
            if (node.nodeType === 2)
                node = node.ownerElement;
            else if (node.nodeType !== 1)
                node = node.parentElement;
            if (node && found.indexOf(node) < 0)
                found.push(node);
        }
        return found;
    }

    window.__listoroTeach = {
        take: function () {
            return queue.splice(0, queue.length);
        },
        // Outlines what the query selects with the class of kind ("match", "chosen",
        // "excluded"); returns how many elements that is.
        mark: function (xpath, kind) {
            const elements = elementsOf(xpath);
            for (const element of elements) {
                element.classList.add('listoro-teach-' + kind);
                if (kind !== 'excluded')
                    marked.add(element);
            }
            if (elements.length > 0 && kind === 'match')
                elements[0].scrollIntoView({ block: 'center' });
            return elements.length;
        },
        clear: function () {
            marked = new Set();
            for (const kind of ['match', 'chosen', 'excluded']) {
                for (const element of Array.from(document.querySelectorAll('.listoro-teach-' + kind)))
                    element.classList.remove('listoro-teach-' + kind);
            }
        },
        stop: function () {
            this.clear();
            if (hovered)
                hovered.classList.remove('listoro-teach-hover');
            for (const type of caught)
                window.removeEventListener(type, onClick, true);
            document.removeEventListener('mouseover', onOver, true);
            style.remove();
            delete window.__listoroTeach;
        },
    };

    // On the window, the first the capturing phase reaches.
    for (const type of caught)
        window.addEventListener(type, onClick, true);
    document.addEventListener('mouseover', onOver, true);
    (document.head || document.documentElement).appendChild(style);
})();
