// Measures a page's contrast in the browser as WCAG 2.1 defines it: every piece of text against the
// background behind it (4.5:1, or 3:1 for large text), and the borders of inputs and buttons against
// what surrounds them (3:1). A gradient counts at its worst colour.
'use strict';

async function contrastFaults(page) {
  return page.evaluate(() => {
    const parse = (c) => {
      const m = c && c.match(/rgba?\(([^)]+)\)/);
      if (!m) return null;
      const p = m[1].split(/[\s,/]+/).filter(Boolean).map(Number);
      return { r: p[0], g: p[1], b: p[2], a: p.length > 3 ? p[3] : 1 };
    };
    const channel = (v) => { v /= 255; return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4); };
    const lum = (c) => 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
    const ratio = (a, b) => { const [x, y] = [lum(a), lum(b)].sort((p, q) => q - p); return (x + 0.05) / (y + 0.05); };
    const behind = (el) => {
      for (let e = el; e; e = e.parentElement) {
        const st = getComputedStyle(e);
        if (st.backgroundImage && st.backgroundImage !== 'none') {
          const stops = [...st.backgroundImage.matchAll(/rgba?\([^)]+\)/g)].map((m) => parse(m[0]));
          if (stops.length) return stops;
        }
        const c = parse(st.backgroundColor);
        if (c && c.a > 0) return [c];
      }
      return [{ r: 255, g: 255, b: 255, a: 1 }];
    };
    const faults = [];
    let measured = 0;
    for (const el of document.querySelectorAll('body *')) {
      const hasText = [...el.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim());
      const box = el.getBoundingClientRect();
      if (!hasText || box.width === 0 || box.height === 0) continue;
      const st = getComputedStyle(el);
      if (st.visibility === 'hidden') continue;
      const size = parseFloat(st.fontSize);
      const large = size >= 24 || (Number(st.fontWeight) >= 700 && size >= 18.66);
      const worst = Math.min(...behind(el).map((bg) => ratio(parse(st.color), bg)));
      measured++;
      if (worst < (large ? 3 : 4.5))
        faults.push(`text ${el.tagName.toLowerCase()}.${el.className} "${el.textContent.trim().slice(0, 24)}" ${worst.toFixed(2)}:1`);
    }
    for (const el of document.querySelectorAll('input:not([type=hidden]), button.go')) {
      const st = getComputedStyle(el);
      if (parseFloat(st.borderTopWidth) === 0) continue;
      const worst = Math.min(...behind(el.parentElement).map((bg) => ratio(parse(st.borderTopColor), bg)));
      measured++;
      if (worst < 3) faults.push(`border ${el.tagName.toLowerCase()}#${el.id} ${worst.toFixed(2)}:1`);
    }
    return { measured, faults };
  });
}

module.exports = { contrastFaults };
