// The script of the pages that `geosig view` and `geosig query --html` write. The page holds everything it shows:
// three.js, its orbit controls and, in the script element #geosig-models, one entry per model (see ViewerPage.h
// for the layout). The search page of `geosig serve` draws its views with the same stage and views, which this
// script lends it as window.GeosigViewer; it runs its own page only where #geosig-models is.
// Each model gets a view of its own; the layer switches apply to every view, so that a page of several models
// compares them layer by layer.
(function () {
  'use strict';

  const LAYERS = [
    {key: 'model', label: 'Model', shown: true},
    {key: 'box', label: 'Bounding box', shown: true},
    {key: 'cube', label: 'Bounding cube', shown: false},
    {key: 'barycenter', label: 'Barycenter', shown: true},
    {key: 'axes', label: 'Principal axes', shown: true},
    {key: 'planes', label: 'Planes passing the symmetry moment test', shown: false},
    {key: 'cuboid', label: 'Recognised cuboid', shown: true},
    {key: 'voxels', label: 'Octree voxels', shown: false},
  ];
  const AXIS_COLOURS = [0xd62728, 0x2ca02c, 0x1f77b4];

  // Little-endian binary arrays, as the writer lays them out, from base64 text.
  function decode(text, ArrayType) {
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let k = 0; k < binary.length; ++k) bytes[k] = binary.charCodeAt(k);
    return new ArrayType(bytes.buffer);
  }

  // A report matrix: four rows of four numbers, column-vector form.
  function matrixOf(rows) {
    const m = new THREE.Matrix4();
    m.set(...rows[0], ...rows[1], ...rows[2], ...rows[3]);
    return m;
  }

  function vector(triple) {
    return new THREE.Vector3(triple[0], triple[1], triple[2]);
  }

  // A descriptor the model does not define is {"undefined": reason} in the report.
  function defined(section) {
    return section && !('undefined' in section);
  }

  function boxOf(section) {
    return new THREE.Box3(vector(section.min), vector(section.max));
  }

  // The arrays come as base64 text in a page's data, or already decoded from the service's glTF.
  function modelMesh(mesh) {
    const positions = typeof mesh.positions === 'string' ? decode(mesh.positions, Float32Array) : mesh.positions;
    const indices = typeof mesh.indices === 'string' ? decode(mesh.indices, Uint32Array) : mesh.indices;
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute('position', new THREE.BufferAttribute(positions, 3));
    geometry.setIndex(new THREE.BufferAttribute(indices, 1));
    // Flat shading needs no normals in the page, and CAD edges stay sharp.
    const material = new THREE.MeshPhongMaterial({color: 0xb0b8c0, flatShading: true, side: THREE.DoubleSide});
    return new THREE.Mesh(geometry, material);
  }

  // Seen through the model: the barycenter and the axes mostly lie inside it.
  function drawnOnTop(object) {
    object.material.depthTest = false;
    object.renderOrder = 2;
  }

  // Each principal axis is drawn sqrt(3 * value) long from the barycenter: the half-length of a uniform rod with
  // that second moment, so that the arrows reach about as far as the surface does.
  function principalAxes(section, origin) {
    const group = new THREE.Group();
    section.axes.forEach((axis, k) => {
      const length = Math.sqrt(3 * Math.max(section.values[k], 0));
      if (length === 0) return;
      const arrow = new THREE.ArrowHelper(vector(axis), origin, length, AXIS_COLOURS[k]);
      drawnOnTop(arrow.line);
      drawnOnTop(arrow.cone);
      group.add(arrow);
    });
    return group;
  }

  // The planes through the barycenter normal to the principal axes whose odd moments vanish: what the
  // symmetry test measures, which a mirror-symmetric surface passes but does not prove.
  function symmetryPlanes(symmetries, axes, origin, size) {
    const group = new THREE.Group();
    ['x', 'y', 'z'].forEach((flag, k) => {
      if (!symmetries[flag]) return;
      const material = new THREE.MeshBasicMaterial({
        color: AXIS_COLOURS[k], transparent: true, opacity: 0.25, side: THREE.DoubleSide, depthWrite: false});
      const plane = new THREE.Mesh(new THREE.PlaneBufferGeometry(size, size), material);
      plane.quaternion.setFromUnitVectors(new THREE.Vector3(0, 0, 1), vector(axes[k]));
      plane.position.copy(origin);
      group.add(plane);
    });
    return group;
  }

  function cuboidFrame(cuboid) {
    const [a, b, c] = cuboid.dimensions;
    const edges = new THREE.EdgesGeometry(new THREE.BoxBufferGeometry(a, b, c));
    const frame = new THREE.LineSegments(edges, new THREE.LineBasicMaterial({color: 0xff7f0e}));
    frame.matrixAutoUpdate = false;
    frame.matrix.copy(matrixOf(cuboid.frame));
    return frame;
  }

  // One instanced cube per occupied leaf, placed at its cell's centre.
  function voxelCubes(voxels) {
    const cells = decode(voxels.cells, Uint16Array);
    const count = cells.length / 3;
    const geometry = new THREE.BoxBufferGeometry(voxels.edge, voxels.edge, voxels.edge);
    const material = new THREE.MeshPhongMaterial({color: 0x6a9fd8, transparent: true, opacity: 0.55});
    const cubes = new THREE.InstancedMesh(geometry, material, count);
    const placement = new THREE.Matrix4();
    for (let k = 0; k < count; ++k) {
      placement.makeTranslation(voxels.min[0] + (cells[3 * k] + 0.5) * voxels.edge,
                                voxels.min[1] + (cells[3 * k + 1] + 0.5) * voxels.edge,
                                voxels.min[2] + (cells[3 * k + 2] + 0.5) * voxels.edge);
      cubes.setMatrixAt(k, placement);
    }
    return cubes;
  }

  function lineBox(box, colour) {
    return new THREE.Box3Helper(box, colour);
  }

  // The layers of one model, by key; a layer the descriptors do not support is left out.
  function modelLayers(model) {
    const d = model.descriptors;
    const cube = boxOf(d.boundingCube);
    const size = cube.getSize(new THREE.Vector3()).x;
    const layers = {model: modelMesh(model.mesh), box: lineBox(boxOf(d.boundingBox), 0x333333),
                    cube: lineBox(cube, 0x999999)};
    if (defined(d.barycenter)) {
      const origin = vector(d.barycenter.point);
      const dot = new THREE.Mesh(new THREE.SphereBufferGeometry(size * 0.012, 16, 12),
                                 new THREE.MeshBasicMaterial({color: 0x9467bd}));
      dot.position.copy(origin);
      drawnOnTop(dot);
      layers.barycenter = dot;
      if (defined(d.principalAxes)) {
        layers.axes = principalAxes(d.principalAxes, origin);
        if (defined(d.symmetries)) {
          layers.planes = symmetryPlanes(d.symmetries, d.principalAxes.axes, origin, size * 1.2);
        }
      }
    }
    if (d.cuboid.isCuboid) layers.cuboid = cuboidFrame(d.cuboid);
    if (model.voxels) layers.voxels = voxelCubes(model.voxels);
    return layers;
  }

  // Every view draws through one WebGL renderer, into its own rectangle of one canvas laid under the grid of
  // views. Browsers keep only a few WebGL contexts of a page alive (chromium 16, losing the oldest past that),
  // so a query's page of twenty matches cannot give each view a context of its own; one context also shares
  // the compiled shaders. A change anywhere redraws every visible view at the next animation frame.
  function createStage(frame, onFrame) {
    const renderer = new THREE.WebGLRenderer({antialias: true, alpha: true});
    renderer.setPixelRatio(window.devicePixelRatio);
    frame.prepend(renderer.domElement);
    const views = [];
    let pending = false;

    function draw() {
      pending = false;
      const bounds = frame.getBoundingClientRect();
      renderer.setScissorTest(false);
      renderer.setClearColor(0xffffff, 0);
      renderer.clear();
      renderer.setScissorTest(true);
      renderer.setClearColor(0xf4f5f7, 1);
      views.forEach((view) => {
        const r = view.box.getBoundingClientRect();
        const left = r.left - bounds.left, top = r.top - bounds.top;
        if (top + r.height < 0 || top > bounds.height || left + r.width < 0 || left > bounds.width) return;
        const bottom = bounds.height - top - r.height;
        renderer.setViewport(left, bottom, r.width, r.height);
        renderer.setScissor(left, bottom, r.width, r.height);
        view.draw(renderer, r.width / Math.max(r.height, 1));
      });
      onFrame();
    }
    function redraw() {
      if (!pending) requestAnimationFrame(draw);
      pending = true;
    }
    function resize() {
      renderer.setSize(frame.clientWidth, frame.clientHeight);
      redraw();
    }
    window.addEventListener('resize', resize);
    return {
      redraw,
      resize,
      add(view) {
        views.push(view);
        return view;
      },
      // Drops every view and frees what it held on the graphics card, for a page that replaces its views.
      clear() {
        views.splice(0).forEach((view) => view.dispose());
        redraw();
      },
    };
  }

  // One model's scene and camera, drawn by the stage into box, with orbit (left button), zoom (wheel), pan (right
  // button) and a reset.
  function createView(box, model, redraw) {
    const scene = new THREE.Scene();
    scene.add(new THREE.HemisphereLight(0xffffff, 0x606060, 0.8));
    const camera = new THREE.PerspectiveCamera(40, 1, 1e-3, 1e3);
    const light = new THREE.DirectionalLight(0xffffff, 0.5);
    camera.add(light);
    scene.add(camera);

    const layers = modelLayers(model);
    Object.values(layers).forEach((object) => scene.add(object));

    const cube = boxOf(model.descriptors.boundingCube);
    const centre = cube.getCenter(new THREE.Vector3());
    const radius = Math.max(cube.getSize(new THREE.Vector3()).length() / 2, 1e-6);
    camera.near = radius / 100;
    camera.far = radius * 100;
    const home = centre.clone().add(new THREE.Vector3(1, 0.8, 1.3).setLength(radius * 3));
    const controls = new THREE.OrbitControls(camera, box);
    controls.screenSpacePanning = true;
    controls.addEventListener('change', redraw);

    function reset() {
      camera.position.copy(home);
      controls.target.copy(centre);
      camera.lookAt(centre);
      controls.update();
    }
    reset();
    return {
      box,
      reset,
      hasLayer: (key) => key in layers,
      setLayer(key, shown) {
        if (key in layers) layers[key].visible = shown;
      },
      dispose() {
        controls.dispose();
        scene.traverse((object) => {
          if (object.geometry) object.geometry.dispose();
          if (object.material) object.material.dispose();
        });
      },
      draw(renderer, aspect) {
        camera.aspect = aspect;
        camera.updateProjectionMatrix();
        renderer.render(scene, camera);
      },
    };
  }

  function element(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function symmetryNote(model) {
    const s = defined(model.descriptors.symmetries) ? model.descriptors.symmetries : null;
    const passed = ['x', 'y', 'z'].filter((flag) => s && s[flag]).map((flag) => 'xyz'.indexOf(flag) + 1);
    const planes = passed.length ? 'normal to axis ' + passed.join(', ') : 'none';
    return 'Principal axes 1, 2, 3 in red, green, blue, each sqrt(3 x value) long. Planes through the ' +
           'barycenter whose odd moments vanish (' + planes + '), coloured as their axes: a mirror-symmetric ' +
           'surface passes this moment test, but passing it does not prove a mirror symmetry.';
  }

  // A view's caption: the file's name (the whole path on hover), and what the page says of the model.
  function captionOf(model) {
    const caption = element('figcaption', null, model.title.split(/[\\/]/).pop());
    caption.title = model.title;
    if (model.caption) caption.appendChild(element('span', 'caption', model.caption));
    return caption;
  }

  function main() {
    const data = JSON.parse(document.getElementById('geosig-models').textContent);
    const page = element('div', 'page' + (data.models.length > 1 ? ' several' : ''));
    const frame = element('div', 'stage');
    const views = element('div', 'views');
    const panel = element('aside', 'panel');
    frame.appendChild(views);
    page.append(frame, panel);
    document.body.appendChild(page);

    let frames = 0;
    let stage = null;
    try {
      stage = createStage(frame, () => {
        window.geosigViewerFrames = ++frames;
        window.geosigViewerReady = true;
      });
    } catch (error) {
      // Without WebGL the reports are still worth reading.
      console.error(error);
      panel.appendChild(element('p', 'note', 'This browser cannot draw the views: ' + error.message));
    }
    const created = [];
    data.models.forEach((model) => {
      const cell = element('figure', 'view' + (model.query ? ' query' : ''));
      const canvasBox = element('div', 'canvas');
      cell.append(canvasBox, captionOf(model));
      views.appendChild(cell);
      if (model.unreadable) {
        cell.classList.add('unreadable');
        canvasBox.appendChild(element('p', 'note', 'Could not be read: ' + model.unreadable));
      } else if (stage) {
        created.push(stage.add(createView(canvasBox, model, stage.redraw)));
      }
    });
    views.addEventListener('scroll', () => stage && stage.redraw());

    const switches = element('fieldset', 'layers');
    switches.appendChild(element('legend', null, 'Layers'));
    LAYERS.forEach((layer) => {
      if (!created.some((view) => view.hasLayer(layer.key))) return;
      const label = element('label');
      const box = element('input');
      box.type = 'checkbox';
      box.checked = layer.shown;
      box.dataset.layer = layer.key;
      box.addEventListener('change', () => {
        created.forEach((view) => view.setLayer(layer.key, box.checked));
        stage.redraw();
      });
      created.forEach((view) => view.setLayer(layer.key, layer.shown));
      label.append(box, ' ' + layer.label);
      switches.appendChild(label);
    });
    const reset = element('button', null, 'Reset view');
    reset.addEventListener('click', () => created.forEach((view) => view.reset()));
    switches.appendChild(reset);
    panel.appendChild(switches);

    data.models.forEach((model) => {
      panel.appendChild(element('h2', null, model.title));
      if (model.caption) panel.appendChild(element('p', 'note', model.caption));
      if (model.unreadable) {
        panel.appendChild(element('p', 'note', 'Could not be read: ' + model.unreadable));
        return;
      }
      const shown = model.mesh.triangles, computed = model.mesh.sourceTriangles;
      if (shown < computed) {
        panel.appendChild(element('p', 'note', 'Shown with ' + shown + ' of its ' + computed +
                                  ' triangles; the descriptors are computed on all of them.'));
      }
      panel.appendChild(element('p', 'note', symmetryNote(model)));
      if (model.voxels) {
        panel.appendChild(element('p', 'note', model.voxels.count + ' voxels at octree depth ' + model.voxels.depth));
      }
      panel.appendChild(element('pre', 'report', model.report));
    });
    if (stage) stage.resize();
  }

  window.GeosigViewer = {createStage, createView, element, LAYERS};
  if (document.getElementById('geosig-models')) main();
})();
