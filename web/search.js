// The search page of `geosig serve`: a model dropped or picked is sent to the service, which reads it and answers
// with its nearest parts in the catalog; each match is drawn in a view of its own (the viewer pages' stage and
// views, from viewer.js) from the part's display model, which the service reads from the catalog by the part's
// id. A match's link searches by that part; duplicate groups list near-identical parts. Every request goes to the
// service that served the page.
(function () {
  'use strict';

  const viewer = window.GeosigViewer;
  const $ = (id) => document.getElementById(id);
  const SHOWN_LAYERS = new Set(['model', 'box']);
  let token = sessionStorage.getItem('geosigToken') || '';
  let stage = null;
  let repeat = null;  // the last search, run again when the settings change
  let generation = 0;  // views of an older search that arrive late are dropped
  window.geosigPending = 0;  // views still being fetched, for tests
  window.geosigViewerFrames = 0;

  function setStatus(text, failed) {
    $('status').textContent = text;
    $('status').classList.toggle('failed', Boolean(failed));
  }

  async function api(path, options) {
    const request = Object.assign({}, options);
    request.headers = Object.assign({}, request.headers, token ? {Authorization: 'Bearer ' + token} : {});
    const response = await fetch(path, request);
    if (response.status === 401) $('token-box').hidden = false;
    if (!response.ok) {
      let reason = response.status + ' ' + response.statusText;
      try {
        reason = (await response.json()).error;
      } catch (ignored) {
        // The status says enough.
      }
      throw new Error(reason);
    }
    return response;
  }

  const json = (path, options) => api(path, options).then((response) => response.json());

  // The triangles of the service's binary glTF: one mesh of one primitive, float positions, uint32 indices.
  function glbMesh(buffer) {
    const data = new DataView(buffer);
    if (buffer.byteLength < 20 || data.getUint32(0, true) !== 0x46546c67) throw new Error('not binary glTF');
    const jsonLength = data.getUint32(12, true);
    const gltf = JSON.parse(new TextDecoder().decode(new Uint8Array(buffer, 20, jsonLength)));
    const binary = 20 + jsonLength + 8;
    const primitive = gltf.meshes[0].primitives[0];
    function array(index, ArrayType, components) {
      const accessor = gltf.accessors[index];
      const view = gltf.bufferViews[accessor.bufferView];
      const start = binary + (view.byteOffset || 0) + (accessor.byteOffset || 0);
      return new ArrayType(buffer.slice(start, start + accessor.count * components * 4));
    }
    return {positions: array(primitive.attributes.POSITION, Float32Array, 3),
            indices: array(primitive.indices, Uint32Array, 1)};
  }

  function link(text, action) {
    const anchor = viewer.element('a', null, text);
    anchor.href = '#';
    anchor.addEventListener('click', (event) => {
      event.preventDefault();
      action();
    });
    return anchor;
  }

  // As geosig query prints a match: the distance, its parts, then what kind of match it is.
  function matchText(match) {
    const f = (value) => value.toFixed(4);
    const distance = match.distance;
    return 'distance ' + f(distance.combined) + ' (occupancy ' + f(distance.occupancy) + ', views ' +
           f(distance.views) + ', shape ' + f(distance.shape) + ', size ' + f(distance.size) + ')  scale ' +
           match.scale.toPrecision(4) + (match.mirrored ? '  mirrored' : '');
  }

  // One part's view: its caption at once, its model once the service has read it.
  async function addView(shown, search) {
    const cell = viewer.element('figure', 'view' + (shown.query ? ' query' : ''));
    const box = viewer.element('div', 'canvas');
    const caption = viewer.element('figcaption', null, shown.file.split(/[\\/]/).pop());
    caption.title = shown.file;
    if (!shown.query) caption.appendChild(link('similar parts', () => searchPart(shown.id)));
    if (shown.caption) caption.appendChild(viewer.element('span', 'caption', shown.caption));
    cell.append(box, caption);
    $('views').appendChild(cell);
    if (!stage) return;
    ++window.geosigPending;
    try {
      const [part, buffer] = await Promise.all([
        json('/api/v1/parts/' + shown.id),
        api('/api/v1/parts/' + shown.id + '/model').then((response) => response.arrayBuffer())]);
      if (search !== generation) return;
      const view = stage.add(viewer.createView(box, {descriptors: part.descriptors, mesh: glbMesh(buffer)},
                                               stage.redraw));
      viewer.LAYERS.forEach((layer) => view.setLayer(layer.key, SHOWN_LAYERS.has(layer.key)));
      stage.redraw();
    } catch (error) {
      cell.classList.add('unreadable');
      box.appendChild(viewer.element('p', 'note', 'Cannot be shown: ' + error.message));
    } finally {
      --window.geosigPending;
    }
  }

  function show(title, query, matches) {
    const search = ++generation;
    if (stage) stage.clear();
    $('views').textContent = '';
    $('matches').textContent = '';
    setStatus(title);
    const shown = (query ? [Object.assign({query: true, caption: 'the search'}, query)] : []).concat(matches);
    shown.forEach((part) => {
      addView(part, search);
      if (part.query) return;
      const item = viewer.element('li');
      item.append(link(part.file, () => searchPart(part.id)));
      if (part.caption) item.append(' ' + part.caption);
      $('matches').appendChild(item);
    });
    if (stage) stage.resize();
  }

  const settings = () => 'k=' + encodeURIComponent($('count').value) + '&anySize=' + $('any-size').checked;
  const captioned = (matches) => matches.map((match, rank) =>
    Object.assign({caption: '#' + (rank + 1) + '  ' + matchText(match)}, match));

  async function run(search) {
    repeat = search;
    try {
      await search();
    } catch (error) {
      setStatus(error.message, true);
    }
  }

  function searchFile(file) {
    run(async () => {
      setStatus('Reading ' + file.name + '…');
      const answer = await json('/api/v1/search?' + settings() + '&filename=' + encodeURIComponent(file.name),
                                {method: 'POST', body: file, headers: {'Content-Type': 'application/octet-stream'}});
      show('The parts nearest ' + file.name + ' (' + answer.query.format + ')', null, captioned(answer.matches));
    });
  }

  function searchPart(id) {
    run(async () => {
      const answer = await json('/api/v1/parts/' + id + '/neighbours?' + settings());
      show('The parts nearest ' + answer.file, {id, file: answer.file}, captioned(answer.matches));
    });
  }

  async function findDuplicates() {
    $('groups').textContent = '';
    try {
      const answer = await json('/api/v1/duplicates?maxDistance=' + encodeURIComponent($('max-distance').value) +
                                '&anySize=' + $('any-size').checked);
      const groups = answer.identical.map((members) => ['identical files', members])
                         .concat(answer.similar.map((members) => ['similar shapes', members]));
      if (!groups.length) $('groups').appendChild(viewer.element('li', null, 'none'));
      groups.forEach(([kind, members]) => {
        const item = viewer.element('li', null, kind + ': ');
        item.append(link(members.map((m) => m.file.split(/[\\/]/).pop()).join(', '),
                         () => show(kind + ' (' + members.length + ')', null, members)));
        $('groups').appendChild(item);
      });
    } catch (error) {
      setStatus(error.message, true);
    }
  }

  async function describeCatalog() {
    try {
      const health = await json('/api/v1/health');
      $('catalog').textContent = health.parts + ' parts in the catalog (geosig ' + health.version + ')';
    } catch (error) {
      $('catalog').textContent = 'The catalog cannot be reached: ' + error.message;
    }
  }

  function main() {
    try {
      stage = viewer.createStage($('stage'), () => ++window.geosigViewerFrames);
    } catch (error) {
      console.error(error);
      setStatus('This browser cannot draw the views: ' + error.message, true);
    }
    $('file').addEventListener('change', () => $('file').files[0] && searchFile($('file').files[0]));
    const drop = $('drop');
    drop.addEventListener('dragover', (event) => {
      event.preventDefault();
      drop.classList.add('over');
    });
    drop.addEventListener('dragleave', () => drop.classList.remove('over'));
    drop.addEventListener('drop', (event) => {
      event.preventDefault();
      drop.classList.remove('over');
      if (event.dataTransfer.files[0]) searchFile(event.dataTransfer.files[0]);
    });
    $('count').addEventListener('change', () => repeat && run(repeat));
    $('any-size').addEventListener('change', () => repeat && run(repeat));
    $('find-duplicates').addEventListener('click', findDuplicates);
    $('views').addEventListener('scroll', () => stage && stage.redraw());
    $('use-token').addEventListener('click', () => {
      token = $('token').value;
      sessionStorage.setItem('geosigToken', token);
      $('token-box').hidden = true;
      describeCatalog();
    });
    describeCatalog();
    window.geosigSearchReady = true;
  }

  main();
})();
