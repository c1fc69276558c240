// The page of the running recorder. It uses only the documented API, and shows every text that
// comes from outside (caller ID, memos, list names) as text, never as markup.
'use strict';

const state = { token: '', list: '', query: '', offset: 0, limit: 50, total: 0, lists: [], selected: null, overview: null,
  calls: { shown: false, missed: false, offset: 0, total: 0 } };
const $ = (id) => document.getElementById(id);

async function api(path, options = {}) {
  const init = { credentials: 'same-origin', headers: {} };
  if (options.body !== undefined) {
    init.method = 'POST';
    init.headers['Content-Type'] = 'application/json';
    init.headers['X-CSRF-Token'] = state.token;
    init.body = JSON.stringify(options.body);
  }
  const response = await fetch(path, init);
  const data = await response.json().catch(() => ({}));
  if (response.status === 401 && !path.endsWith('/login')) showLogin();
  if (!response.ok) throw new Error(data.error || response.statusText);
  return data;
}

function el(tag, text, className) {
  const node = document.createElement(tag);
  if (text !== undefined) node.textContent = text;
  if (className) node.className = className;
  return node;
}

function showLogin() {
  $('login').hidden = false;
  $('app').hidden = true;
  $('logout').hidden = true;
  $('password').focus();
}

async function start() {
  const status = await api('/api/status');
  if (status.csrfToken) {
    state.token = status.csrfToken;
  } else if (!status.passwordRequired) {
    state.token = (await api('/api/login', { body: {} })).csrfToken;
  } else {
    showLogin();
    return;
  }
  $('login').hidden = true;
  $('app').hidden = false;
  $('logout').hidden = !status.passwordRequired;
  showLine(status.line || { state: 'none' });
  await Promise.all([loadLists(), loadRecordings(), loadLog()]);
  listenForEvents();
}

async function login(event) {
  event.preventDefault();
  $('loginError').textContent = '';
  try {
    state.token = (await api('/api/login', { body: { password: $('password').value } })).csrfToken;
    $('password').value = '';
    await start();
  } catch (error) {
    $('loginError').textContent = error.message;
  }
}

function showLine(line) {
  const box = $('line');
  box.className = 'line ' + line.state;
  let text = { idle: 'Line idle', ringing: 'Ringing', recording: 'Recording', modemLost: 'Modem lost', none: 'No modem' }[line.state] || line.state;
  if (line.state === 'ringing') text += ' (' + line.rings + ')';
  if (line.callerId) text += ': ' + line.callerId;
  if (line.state === 'recording') {
    const s = line.elapsedSeconds || 0;
    text += ' ' + String(Math.floor(s / 60)).padStart(2, '0') + ':' + String(s % 60).padStart(2, '0');
    text += ' level ' + Math.round(line.level || 0);
  }
  $('lineState').textContent = text;
  $('listen').hidden = line.state !== 'recording';
  if (line.state !== 'recording') stopListening();
}

async function loadLists() {
  state.lists = (await api('/api/lists')).lists;
  const ul = $('lists');
  ul.replaceChildren();
  const all = el('li', 'All recordings');
  all.dataset.name = '';
  ul.append(all);
  const select = $('moveTo');
  const chosen = select.value;
  select.replaceChildren();
  for (const list of state.lists) {
    const li = el('li', list.name + ' (' + list.count + ')');
    li.style.paddingLeft = (0.4 + list.level * 1.2) + 'em';
    li.dataset.name = list.name;
    ul.append(li);
    const option = el('option', list.name);
    option.value = list.name;
    select.append(option);
  }
  if (chosen) select.value = chosen;
  for (const li of ul.children) {
    li.classList.toggle('selected', li.dataset.name === state.list);
    li.addEventListener('click', () => { state.list = li.dataset.name; state.offset = 0; loadLists(); loadRecordings(); });
  }
}

async function loadRecordings() {
  const params = new URLSearchParams({ list: state.list, q: state.query, offset: state.offset, limit: state.limit });
  const page = await api('/api/recordings?' + params);
  state.total = page.total;
  const body = $('recordings').tBodies[0];
  body.replaceChildren();
  for (const row of page.recordings) {
    const tr = el('tr');
    tr.dataset.id = row.id;
    tr.append(el('td', row.date), el('td', row.time), el('td', row.duration), el('td', row.memo, 'memo'));
    tr.classList.toggle('selected', state.selected && state.selected.id === row.id);
    tr.addEventListener('click', () => select(row));
    body.append(tr);
  }
  $('count').textContent = page.total + ' recording' + (page.total === 1 ? '' : 's');
  const last = Math.min(state.offset + state.limit, page.total);
  $('pageInfo').textContent = page.total ? (state.offset + 1) + '–' + last : '';
  $('prev').disabled = state.offset === 0;
  $('next').disabled = last >= page.total;
}

// The call log: every call that rang or was made, newest first; a recorded call plays as the list's row does.
async function loadCalls() {
  if (!state.calls.shown) return;
  const params = new URLSearchParams({ offset: state.calls.offset, limit: state.limit });
  if (state.calls.missed) params.set('missed', '1');
  const page = await api('/api/calls?' + params);
  state.calls.total = page.total;
  const body = $('calls').tBodies[0];
  body.replaceChildren();
  for (const call of page.calls) {
    const tr = el('tr');
    tr.append(el('td', call.date), el('td', call.time), el('td', String(call.rings)), el('td', call.number),
      el('td', call.name), el('td', call.outcomeText));
    const cell = el('td');
    if (call.recording) {
      const play = el('button', 'Play', 'play');
      play.type = 'button';
      play.addEventListener('click', () => playRecording(call.recording));
      cell.append(play);
    }
    tr.append(cell);
    body.append(tr);
  }
  $('callCount').textContent = page.total + ' call' + (page.total === 1 ? '' : 's');
  const last = Math.min(state.calls.offset + state.limit, page.total);
  $('callsPageInfo').textContent = page.total ? (state.calls.offset + 1) + '–' + last : '';
  $('callsPrev').disabled = state.calls.offset === 0;
  $('callsNext').disabled = last >= page.total;
}

async function playRecording(id) {
  try {
    select(await api('/api/recordings/' + encodeURIComponent(id)));
    $('player').play().catch(() => {});
  } catch (error) {
    $('callCount').textContent = error.message;
  }
}

function showView(calls) {
  state.calls.shown = calls;
  $('callsPane').hidden = !calls;
  $('recordingsPane').hidden = calls;
  $('showCalls').setAttribute('aria-pressed', String(calls));
  $('showRecordings').setAttribute('aria-pressed', String(!calls));
  if (calls) loadCalls().catch(() => {});
}

function updateDownload() {
  if (!state.selected) return;
  const as = $('downloadAs').value;
  $('download').href = '/api/recordings/' + encodeURIComponent(state.selected.id) + '/file' + (as ? '?as=' + as : '');
}

async function loadLog() {
  const ol = $('log');
  ol.replaceChildren();
  for (const line of (await api('/api/log')).lines) ol.append(el('li', line));
  ol.scrollTop = ol.scrollHeight;
}

function select(row) {
  state.selected = row;
  for (const tr of $('recordings').tBodies[0].rows) tr.classList.toggle('selected', tr.dataset.id === row.id);
  $('detail').hidden = false;
  $('detailTitle').textContent = row.date + ' ' + row.time + ' (' + row.duration + ')';
  $('memo').value = row.memo;
  $('moveTo').value = row.list;
  $('detailError').textContent = '';
  const base = '/api/recordings/' + encodeURIComponent(row.id);
  $('player').src = base + '/audio';
  updateDownload();
  state.overview = null;
  drawOverview();
  const canvas = $('overview');
  api(base + '/overview?width=' + canvas.width + '&height=' + canvas.height)
    .then((overview) => { if (state.selected === row) { state.overview = overview; drawOverview(); } })
    .catch(() => {});
}

function drawOverview() {
  const canvas = $('overview');
  const context = canvas.getContext('2d');
  context.fillStyle = '#000';
  context.fillRect(0, 0, canvas.width, canvas.height);
  const overview = state.overview;
  if (overview) {
    context.strokeStyle = '#00ff00';
    context.beginPath();
    for (let i = 0; i + 1 < overview.points.length; i += 2) {
      if (i === 0) context.moveTo(overview.points[i], overview.points[i + 1]);
      else context.lineTo(overview.points[i], overview.points[i + 1]);
    }
    context.stroke();
  }
  const player = $('player');
  if (player.duration > 0) {
    const x = Math.round(player.currentTime / player.duration * canvas.width);
    context.fillStyle = '#ffffff';
    context.fillRect(x, 0, 2, canvas.height);
  }
}

function seekFromOverview(event) {
  const player = $('player');
  const rect = event.target.getBoundingClientRect();
  if (player.duration > 0) player.currentTime = (event.clientX - rect.left) / rect.width * player.duration;
}

async function command(action) {
  $('detailError').textContent = '';
  try {
    await action();
  } catch (error) {
    $('detailError').textContent = error.message;
  }
}

function recordingPath(what) {
  return '/api/recordings/' + encodeURIComponent(state.selected.id) + '/' + what;
}

function saveMemo() {
  command(async () => {
    await api(recordingPath('memo'), { body: { memo: $('memo').value || ' ' } });
    await loadRecordings();
  });
}

function moveRecording() {
  command(async () => {
    await api(recordingPath('move'), { body: { list: $('moveTo').value } });
    await Promise.all([loadLists(), loadRecordings()]);
  });
}

function deleteRecording() {
  if (!window.confirm('Delete selected record(s)?')) return;
  command(async () => {
    await api(recordingPath('delete'), { body: {} });
    state.selected = null;
    $('player').removeAttribute('src');
    $('detail').hidden = true;
    await Promise.all([loadLists(), loadRecordings()]);
  });
}

function listCommand(verb, body) {
  api('/api/lists/' + verb, { body }).then(loadLists).catch((error) => window.alert(error.message));
}

function listenForEvents() {
  if (state.events) return;
  state.events = new EventSource('/api/events');
  state.events.addEventListener('line', (event) => showLine(JSON.parse(event.data)));
  state.events.addEventListener('catalogue', () => { loadLists(); loadRecordings(); });
  state.events.addEventListener('calls', () => { loadCalls().catch(() => {}); });
  state.events.addEventListener('log', (event) => {
    const ol = $('log');
    ol.append(el('li', JSON.parse(event.data).line));
    ol.scrollTop = ol.scrollHeight;
  });
}

function toggleListening() {
  const live = $('livePlayer');
  if (live.src) { stopListening(); return; }
  live.src = '/api/live?t=' + Date.now();
  live.play().catch(() => {});
  $('listen').textContent = 'Stop listening';
}

function stopListening() {
  const live = $('livePlayer');
  if (!live.src) return;
  live.pause();
  live.removeAttribute('src');
  live.load();
  $('listen').textContent = 'Listen';
}

let searchTimer = 0;
document.addEventListener('DOMContentLoaded', () => {
  $('login').addEventListener('submit', login);
  $('logout').addEventListener('click', async () => { await api('/api/logout', { body: {} }).catch(() => {}); location.reload(); });
  $('search').addEventListener('input', () => {
    clearTimeout(searchTimer);
    searchTimer = setTimeout(() => { state.query = $('search').value; state.offset = 0; loadRecordings(); }, 250);
  });
  $('prev').addEventListener('click', () => { state.offset = Math.max(0, state.offset - state.limit); loadRecordings(); });
  $('next').addEventListener('click', () => { state.offset += state.limit; loadRecordings(); });
  $('showRecordings').addEventListener('click', () => showView(false));
  $('showCalls').addEventListener('click', () => showView(true));
  $('missedOnly').addEventListener('change', () => { state.calls.missed = $('missedOnly').checked; state.calls.offset = 0; loadCalls(); });
  $('callsPrev').addEventListener('click', () => { state.calls.offset = Math.max(0, state.calls.offset - state.limit); loadCalls(); });
  $('callsNext').addEventListener('click', () => { state.calls.offset += state.limit; loadCalls(); });
  $('downloadAs').addEventListener('change', updateDownload);
  $('saveMemo').addEventListener('click', saveMemo);
  $('move').addEventListener('click', moveRecording);
  $('delete').addEventListener('click', deleteRecording);
  $('listen').addEventListener('click', toggleListening);
  $('overview').addEventListener('click', seekFromOverview);
  $('player').addEventListener('timeupdate', drawOverview);
  $('addList').addEventListener('click', () => {
    const name = window.prompt('Give name');
    if (name) listCommand('add', { name });
  });
  $('addSublist').addEventListener('click', () => {
    const name = state.list && window.prompt('Give name');
    if (name) listCommand('add', { name, parent: state.list });
  });
  $('renameList').addEventListener('click', () => {
    const newName = state.list && window.prompt('Give name', state.list);
    if (newName) listCommand('rename', { name: state.list, newName });
  });
  $('deleteList').addEventListener('click', () => {
    if (state.list && window.confirm('Delete list? All of your files in the list will be deleted')) {
      listCommand('delete', { name: state.list });
      state.list = '';
      loadRecordings();
    }
  });
  start().catch((error) => { $('loginError').textContent = error.message; showLogin(); });
});
