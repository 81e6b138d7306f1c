// serve's RCON listener as a Source RCON client that nobody here wrote sees it (the npm package
// "rcon", pinned by package-lock.json), plus raw sockets for what no well-behaved client sends.
// serve runs a plug-in library with RCON commands of its own (RconProbePlugin.cpp): echo, long,
// thread, count, silent. Environment: QV_TOOL, QV_PROBE_PLUGIN, QV_EXAMPLE_CONFIG (tests/rcon/CMakeLists.txt).
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { spawn } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const os = require('node:os');
const path = require('node:path');

let Rcon;
try {
    Rcon = require('rcon');
} catch (error) {
    throw new Error('the RCON client is not installed: run scripts/install-deps.sh (npm ci in tests/rcon)');
}

const PASSWORD = 'correct horse battery staple';
// serve gets a clean environment, but for the sanitizers' settings of the builds that have them.
const SANITIZERS = Object.fromEntries(Object.entries(process.env).filter(([name]) => /^[A-Z]+SAN_OPTIONS$/.test(name)));
const TIMEOUT_MS = 10000;

function within(promise, what, ms = TIMEOUT_MS) {
    let timer;
    const timeout = new Promise((_, reject) => {
        timer = setTimeout(() => reject(new Error(`${what}: no answer within ${ms} ms`)), ms);
    });
    return Promise.race([promise, timeout]).finally(() => clearTimeout(timer));
}

// serve in a folder of its own, with the arguments given; resolves once it listens.
// main: members to set in the config's main section.
async function startServe({ library, extraArgs = [], env = { QV_RCON_PASSWORD: PASSWORD }, main = {} } = {}) {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-rcon-test-'));
    const config = path.join(folder, 'config.json');
    const example = JSON.parse(fs.readFileSync(process.env.QV_EXAMPLE_CONFIG, 'utf8'));
    Object.assign(example.Quorvandelle, main);
    fs.writeFileSync(config, JSON.stringify(example, null, 2));
    const args = ['serve', config, '--json', '--rcon-port', '0', ...extraArgs];
    if (library) args.push('--plugin-library', library);
    const child = spawn(process.env.QV_TOOL, args, {
        cwd: folder,
        env: { PATH: process.env.PATH, TZ: 'UTC0', NO_COLOR: '1', ...SANITIZERS, ...env },
        stdio: ['ignore', 'pipe', 'pipe'],
    });
    const server = { child, folder, config, stdout: '', stderr: '' };
    child.stdout.on('data', (data) => { server.stdout += data; });
    server.exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
    server.port = await within(new Promise((resolve, reject) => {
        child.stderr.on('data', (data) => {
            server.stderr += data;
            const listening = /RCON on 127\.0\.0\.1:(\d+)/.exec(server.stderr);
            if (listening) resolve(Number(listening[1]));
        });
        server.exited.then(({ code }) => reject(new Error(`serve ended (${code}) before listening:\n${server.stderr}`)));
    }), 'serve starting');
    return server;
}

async function stopServe(server) {
    server.child.kill('SIGTERM');
    const ended = await within(server.exited, 'serve stopping');
    fs.rmSync(server.folder, { recursive: true, force: true });
    return ended;
}

// Resolves once check() holds, looking every few milliseconds.
function eventually(check, what) {
    return within(new Promise((resolve) => {
        const look = () => (check() ? resolve() : setTimeout(look, 5));
        look();
    }), what);
}

function events(server) {
    return server.stdout.split('\n').filter((line) => line.trim() !== '').map((line) => JSON.parse(line));
}

// The client as its users drive it: connect, 'auth' or 'error', each packet of an answer a 'response'.
class Client {
    constructor(port, password = PASSWORD) {
        this.rcon = new Rcon('127.0.0.1', port, password);
        this.responses = [];
        this.authenticated = false;
        this.rcon.on('response', (text) => { if (this.authenticated) this.responses.push(text); });
        this.ended = new Promise((resolve) => this.rcon.on('end', resolve));
    }

    connect() {
        return within(new Promise((resolve, reject) => {
            this.rcon.once('auth', () => { this.authenticated = true; resolve(); });
            this.rcon.once('error', reject);
            this.ended.then(() => reject(new Error('closed before authenticating')));
            this.rcon.connect();
        }), 'authenticating');
    }

    // The packets of the answer to line: the server answers a client in the order it asks, so the
    // answer ends where the answer to a marker echo begins.
    async command(line) {
        const marker = `end-of-answer-${Math.random()}`;
        const start = this.responses.length;
        this.rcon.send(line);
        this.rcon.send(`echo ${marker}`);
        await within(new Promise((resolve) => {
            const look = () => {
                if (this.responses.includes(marker, start)) resolve();
                else setTimeout(look, 2);
            };
            look();
        }), `the answer to "${line}"`);
        return this.responses.slice(start, this.responses.indexOf(marker, start));
    }

    // The first packet answering line, for commands that answer once (the real plug-in's).
    async once(line) {
        const start = this.responses.length;
        this.rcon.send(line);
        await eventually(() => this.responses.length > start, `the answer to "${line}"`);
        return this.responses[start];
    }

    async close() {
        this.rcon.disconnect();
        await within(this.ended, 'closing');
    }
}

// Raw packets, for what clients are not meant to send.
function packet(id, type, body) {
    const bytes = Buffer.byteLength(body);
    const buffer = Buffer.alloc(14 + bytes);
    buffer.writeInt32LE(10 + bytes, 0);
    buffer.writeInt32LE(id, 4);
    buffer.writeInt32LE(type, 8);
    buffer.write(body, 12);
    return buffer;
}

function readPackets(buffer) {
    const packets = [];
    while (buffer.length >= 4 && buffer.length >= 4 + buffer.readInt32LE(0)) {
        const size = buffer.readInt32LE(0);
        packets.push({ size, id: buffer.readInt32LE(4), type: buffer.readInt32LE(8), body: buffer.toString('utf8', 12, 2 + size) });
        buffer = buffer.subarray(4 + size);
    }
    return packets;
}

// A socket, what it received, and a promise of its closing.
function rawSocket(port) {
    return within(new Promise((resolve, reject) => {
        const socket = net.createConnection(port, '127.0.0.1', () => resolve(socket));
        socket.received = Buffer.alloc(0);
        socket.on('data', (data) => { socket.received = Buffer.concat([socket.received, data]); });
        socket.gone = new Promise((done) => socket.on('close', done));
        socket.on('error', () => {});
        socket.once('error', reject);
    }), 'connecting');
}

async function receivedPackets(socket, count) {
    await within(new Promise((resolve) => {
        const look = () => (readPackets(socket.received).length >= count ? resolve() : setTimeout(look, 2));
        look();
    }), `${count} packets`);
    return readPackets(socket.received);
}

let server;
before(async () => { server = await startServe({ library: process.env.QV_PROBE_PLUGIN }); });
after(async () => {
    const ended = await stopServe(server);
    assert.equal(ended.signal, 'SIGTERM');
    // In the ThreadSanitizer build (scripts/test.sh with QV_TSAN=1), a race ends serve with a report.
    assert.doesNotMatch(server.stderr, /ThreadSanitizer/);
});

test('the right password is taken, a wrong one refused as game servers refuse it', async () => {
    const client = new Client(server.port);
    await client.connect();
    await client.close();

    const wrong = new Client(server.port, 'not the password');
    await assert.rejects(wrong.connect(), /Authentication failed/);

    // On the wire: an empty response value with the request's id, then the authentication response
    // with -1; then the server closes the connection.
    const socket = await rawSocket(server.port);
    socket.write(packet(77, 3, 'guess'));
    assert.deepEqual(await receivedPackets(socket, 2), [
        { size: 10, id: 77, type: 0, body: '' },
        { size: 10, id: -1, type: 2, body: '' },
    ]);
    await within(socket.gone, 'closing after a wrong password');
    assert.ok(!server.stdout.includes(PASSWORD) && !server.stderr.includes(PASSWORD), 'the password was printed');
});

test('every command is answered on the game thread, and a line no command takes gets the game\'s answer', async () => {
    const client = new Client(server.port);
    await client.connect();
    const rows = [
        ['echo hello there', ['hello there']],
        ['ECHO h\u00e9', ['h\u00e9']],
        ['thread', ['game thread']],
        ['silent', ['']], // no reply from the command: one empty response value all the same
        ['nosuch argument', ['Unknown command "nosuch"']],
    ];
    for (const [line, answer] of rows) assert.deepEqual(await client.command(line), answer, line);
    const [before] = await client.command('count');
    const [after] = await client.command('count');
    assert.equal(Number(after), Number(before) + 2); // the marker echo counts too
    await client.close();
    const rcon = () => events(server).filter((event) => event.event === 'rcon');
    await eventually(() => rcon().some((event) => event.text === 'nosuch argument' && !event.command &&
                                       event.answer === 'Unknown command "nosuch"'), 'the rcon events');
    assert.ok(rcon().some((event) => event.text === 'echo hello there' && event.command && event.answer === 'hello there'));
});

test('an answer over 4,096 bytes comes in several packets, split between characters', async () => {
    const client = new Client(server.port);
    await client.connect();
    const pattern = 'abcdefgh\u00e9';
    const answer = await client.command('long 10000');
    assert.ok(answer.length >= 3, `${answer.length} packets`);
    assert.equal(answer.join(''), pattern.repeat(1000)); // each packet decoded on its own: no broken character
    await client.close();

    const socket = await rawSocket(server.port);
    socket.write(Buffer.concat([packet(1, 3, PASSWORD), packet(5, 2, 'long 10000')]));
    const packets = (await receivedPackets(socket, 5)).slice(2);
    assert.ok(packets.every((each) => each.id === 5 && each.type === 0 && each.size <= 4096));
    assert.equal(packets.map((each) => each.body).join(''), pattern.repeat(1000));
    socket.destroy();
});

test('16 clients at once are served, a 17th is turned away', async () => {
    const clients = Array.from({ length: 16 }, () => new Client(server.port));
    let replacement;
    try {
        await Promise.all(clients.map((client) => client.connect()));
        const answers = await Promise.all(clients.map(async (client, index) => {
            const mine = [];
            for (let i = 0; i < 5; ++i) mine.push((await client.command(`echo ${index}-${i}`))[0]);
            return mine;
        }));
        answers.forEach((mine, index) => assert.deepEqual(mine, [0, 1, 2, 3, 4].map((i) => `${index}-${i}`)));

        // Turned away by a close: the client sees the end, or a reset when its password was still
        // unread on the server's side of the socket.
        const seventeenth = new Client(server.port);
        await assert.rejects(seventeenth.connect(), /closed before authenticating|ECONNRESET|EPIPE/);
        await clients.shift().close();
        replacement = new Client(server.port);
        await replacement.connect();
        assert.deepEqual(await replacement.command('echo room again'), ['room again']);
    } finally {
        // A failure here must not leave the server full for the tests after it.
        await Promise.all([replacement, ...clients].filter(Boolean).map((client) => client.close().catch(() => {})));
    }
});

test('garbage, a 1 MiB size field and malformed packets close only their own connection', async () => {
    const client = new Client(server.port);
    await client.connect();
    const oneMiB = Buffer.alloc(12);
    oneMiB.writeInt32LE(1 << 20, 0);
    const zeroInside = packet(3, 2, 'echo a');
    zeroInside[13] = 0; // a zero byte inside the body
    const attempts = [
        ['garbage', Buffer.from('GET / HTTP/1.1\r\nHost: localhost\r\n\r\n')],
        ['a 1 MiB size field', Buffer.concat([packet(1, 3, PASSWORD), oneMiB])],
        ['a zero byte inside the body', Buffer.concat([packet(1, 3, PASSWORD), zeroInside])],
        ['a command before the password', packet(2, 2, 'echo early')],
        ['a packet of an unknown type', Buffer.concat([packet(1, 3, PASSWORD), packet(2, 9, 'x')])],
    ];
    for (const [what, bytes] of attempts) {
        const socket = await rawSocket(server.port);
        socket.write(bytes);
        await within(socket.gone, `closing after ${what}`);
        assert.deepEqual(await client.command(`echo still here after ${what}`), [`still here after ${what}`]);
    }
    await client.close();
    await eventually(() => /a packet size of 1048576 bytes \(10 to 4096 allowed\)/.test(server.stderr), 'the reason told');
});

test('a client gone in the middle of a packet leaves no command behind', async () => {
    const client = new Client(server.port);
    await client.connect();
    const [before] = await client.command('count');
    const socket = await rawSocket(server.port);
    const half = packet(9, 2, 'echo half');
    socket.write(Buffer.concat([packet(1, 3, PASSWORD), half.subarray(0, 10)]));
    await receivedPackets(socket, 2);
    socket.destroy();
    await eventually(() => server.stderr.includes('in the middle of a packet'), 'the server noticing');
    const [after] = await client.command('count');
    assert.equal(Number(after), Number(before) + 2); // the marker echo and this count, nothing else
    await client.close();
});

test('an empty response value comes back as it went, after the answer before it', async () => {
    const socket = await rawSocket(server.port);
    socket.write(Buffer.concat([packet(1, 3, PASSWORD), packet(4, 2, 'long 5000'), packet(99, 0, '')]));
    const packets = (await receivedPackets(socket, 5)).slice(2);
    assert.deepEqual(packets.map((each) => [each.id, each.type]), [[4, 0], [4, 0], [99, 0]]);
    assert.equal(packets[2].body, '');
    socket.destroy();
});

test('serve keeps the real plug-in\'s folder beside CONFIG, answers its RCON commands, and unloads it when stopped', async () => {
    const passwordFile = path.join(os.tmpdir(), `qv-rcon-password-${process.pid}`);
    fs.writeFileSync(passwordFile, `${PASSWORD}\n`);
    try {
        const real = await startServe({
            extraArgs: ['--rcon-password-file', passwordFile], env: {}, main: { RconCommands: true },
        });
        const plugin = path.join(real.folder, 'config.server', 'ArkApi', 'Plugins', 'Quorvandelle');
        assert.equal(fs.realpathSync(path.join(plugin, 'config.json')), fs.realpathSync(real.config));
        fs.writeFileSync(path.join(plugin, 'state.json'), '{}');
        const client = new Client(real.port);
        await client.connect();
        // The plug-in's own command, answered as its chat reply in plain text.
        assert.equal(await client.once('QVRELOAD'), 'Config Reloaded!');
        await client.close();
        real.child.kill('SIGTERM');
        assert.equal((await within(real.exited, 'serve stopping')).signal, 'SIGTERM');
        const names = events(real).map((event) => event.event);
        assert.deepEqual([names[0], names[1], names.at(-2), names.at(-1)], ['start', 'load', 'unload', 'end']);
        assert.ok(fs.existsSync(path.join(plugin, 'state.json')), 'the folder was not kept');
        fs.rmSync(real.folder, { recursive: true, force: true });
    } finally {
        fs.rmSync(passwordFile, { force: true });
    }
});

test('without a password serve refuses to listen, naming what is missing', async () => {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'qv-rcon-test-'));
    const config = path.join(folder, 'config.json');
    fs.copyFileSync(process.env.QV_EXAMPLE_CONFIG, config);
    const child = spawn(process.env.QV_TOOL, ['serve', config, '--rcon-port', '0'], {
        env: { PATH: process.env.PATH, ...SANITIZERS }, stdio: ['ignore', 'pipe', 'pipe'],
    });
    let stderr = '';
    child.stderr.on('data', (data) => { stderr += data; });
    const code = await within(new Promise((resolve) => child.on('exit', resolve)), 'serve refusing');
    assert.equal(code, 2);
    assert.match(stderr, /serve --rcon-port needs the RCON password: set QV_RCON_PASSWORD, or name a file holding it with --rcon-password-file/);
    assert.ok(!fs.existsSync(path.join(folder, 'config.server')), 'a refused run made a folder');
    fs.rmSync(folder, { recursive: true, force: true });
});
