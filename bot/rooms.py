"""How each room is solved: one function per room, written as the loops a player records.

Every loop but the last ends with a commit, which turns the run into an echo that replays it in
all later loops. The last loop must end with the room won.
"""

import math

from vbot import heading

FAN_OFF = "E — выключить вентиляцию"
FAN_ON = "E — включить вентиляцию"
LIFT_UP = "E — поднять лифт"
LIFT_DOWN = "E — опустить лифт"
GRAVITY_OFF = "E — отключить гравитацию груза"
GRAVITY_ON = "E — вернуть гравитацию груза"

NORTH = 0.0             # yaw facing -z, toward the goal in every room
SOUTH = math.pi         # facing +z, back toward the spawn
WEST = math.pi / 2      # facing -x
EAST = -math.pi / 2     # facing +x


def fetch(b, cid, standoff=1.3, side=None, pitch_after=0.0):
    """Walks up to a free cargo and picks it up. `side` is the direction (dx, dz) from the
    cargo toward where the player should stand; by default the side the player comes from."""
    c = b.cargo(cid)["pos"]
    if side is None:
        p = b.pos
        side = (p[0] - c[0], p[2] - c[2])
    r = math.hypot(*side)
    sx, sz = c[0] + side[0] / r * standoff, c[2] + side[1] / r * standoff
    b.walk_to(sx, sz, exact=True)
    b.pickup(cid)
    b.look(pitch=pitch_after)


def wait_rest(b, cid, speed=0.05):
    """Waits until a free cargo has (nearly) stopped."""
    b.wait_until(lambda s: math.hypot(*s["cargo"][cid]["vel"]) < speed, 900,
                 "cargo %d at rest" % cid)


def hold_plate(b, x, z):
    """Walks onto a plate and stays long enough for the recording to count."""
    b.walk_to(x, z, exact=True)
    b.wait(12)


# ---- room 0: "Первый рейс" ------------------------------------------------------------

def room0(b):
    b.walk_to(-2, 8.6, exact=True)
    b.pickup(0)
    b.look(pitch=0.0)
    b.walk_path([(0, 8.6), (0, -8.0)])
    b.place_at(0, -10, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 1: "Груз проходит первым" ---------------------------------------------------

def room1(b):
    # Loop 1: the echo stands on plate A and keeps door A open.
    hold_plate(b, -5, 3)
    b.commit()

    # Loop 2: the box goes through the window, the player through door A.
    b.walk_to(0, 8.0, exact=True)
    b.pickup(0)
    b.look(pitch=0.3)
    b.walk_path([(1.8, 8.0), (1.8, 3.0), (0, 2.0)], exact=True)
    b.throw(yaw=NORTH, pitch=0.3)
    b.walk_to(-5, 1.2, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door A")
    b.walk_to(-5, -1.2)
    wait_rest(b, 0)
    fetch(b, 0)
    b.place_at(0, -10, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 2: "Передача по цепочке" ----------------------------------------------------

def room2(b):
    # Loop 1: the first echo holds plate A.
    hold_plate(b, -6, 5)
    b.commit()

    # Loop 2: the second echo goes through door A, stands on plate B and stops the blower.
    b.walk_to(-6, 2.2, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door A")
    b.walk_path([(-6, -0.5), (6, -2)], exact=True)
    b.use(b.s["fans"][0]["pos"], FAN_OFF)
    b.wait(12)
    b.commit()

    # Loop 3: the box crosses both windows; the player takes both doors.
    b.walk_to(-2, 8.6, exact=True)
    b.pickup(0)
    b.look(pitch=0.3)
    b.walk_path([(-0.5, 8.6), (-0.5, 5.0), (-2, 3.0)], exact=True)
    b.wait_until(lambda s: not s["fans"][0]["active"], 900, "the blower off")
    b.throw(yaw=NORTH, pitch=0.3)
    b.walk_to(-6, 2.2, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door A")
    b.walk_to(-6, -0.5)
    wait_rest(b, 0)
    fetch(b, 0)
    b.look(pitch=0.3)
    b.walk_to(2, -3.0, exact=True)
    b.throw(yaw=NORTH, pitch=0.3)
    b.walk_to(6, -3.9, exact=True)
    b.wait_until(lambda s: s["doors"][1]["open"], 600, "door B")
    b.walk_to(6, -6.5)
    wait_rest(b, 0)
    fetch(b, 0)
    b.place_at(0, -10, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 3: "Обесточенный шлюз" ------------------------------------------------------

def room3(b):
    # Loop 1: the echo holds plate A.
    hold_plate(b, -5, 3)
    b.commit()

    # Loop 2: battery into the socket, then both loads through the airlock.
    fetch(b, 2, side=(0, 1))
    b.walk_to(5, 4.3, exact=True)
    b.dock(0)
    b.wait_until(lambda s: s["doors"][0]["open"], 300, "the airlock")
    fetch(b, 0, side=(0, 1))
    b.walk_path([(-1, 5), (0, 1.5), (-1.5, -7.5)])
    b.place_at(-1.5, -10, NORTH)
    b.walk_path([(0, -1), (2, 5.5)])
    fetch(b, 1, side=(0, -1))
    b.walk_path([(0, 1.5), (1.5, -7.5)])
    b.place_at(1.5, -10, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 4: "Лунная палуба" ----------------------------------------------------------

def jump_onto_deck(b):
    """From the foot of the deck, jumps and walks on until standing on it."""
    b.walk_dir(0, -1, 1, jump=True)
    for _ in range(240):
        b.walk_dir(0, -1, 1)
        if b.pos[1] >= 1.999 and b.s["player"]["grounded"]:
            return
    b.fail("could not get onto the deck")


def room4(b):
    fetch(b, 0, side=(0, 1))
    b.look(yaw=NORTH, pitch=1.0)
    b.walk_to(0, -2.6)
    jump_onto_deck(b)
    b.look(pitch=0.0)
    b.place_at(-1.5, -9.5, NORTH)
    # Down again for the soil samples.
    b.walk_path([(2, -5), (2, -1.0), (4, 5.2)])
    fetch(b, 1, side=(0, -1))
    b.look(yaw=NORTH, pitch=1.1)
    b.walk_to(4, -2.6)
    jump_onto_deck(b)
    b.look(pitch=0.0)
    b.place_at(1.5, -9.5, NORTH)
    b.wait_until(lambda s: s["won"], 600, "the win")


# ---- room 5: "Продувка грузового отсека" ----------------------------------------------

def room5(b):
    # Loop 1: the echo switches the purge off and then holds plate B.
    b.walk_to(0, 2.2, exact=True)
    b.use(b.s["fans"][0]["pos"], FAN_OFF)
    hold_plate(b, -6, 3)
    b.commit()

    # Loop 2: the capsule through the window, the ice through door B.
    fetch(b, 0, side=(0, 1))
    b.look(pitch=0.3)
    b.walk_to(0, 2.0, exact=True)
    b.wait_until(lambda s: not s["fans"][0]["active"], 600, "the purge off")
    b.throw(yaw=NORTH, pitch=0.3)
    b.walk_to(4, 9.3)
    fetch(b, 1, side=(0, 1))
    b.walk_to(-6, 2.0, exact=True)
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door B")
    b.walk_to(-6, -1.5)
    b.walk_to(-3, -8.5)
    b.place_at(1.5, -10, NORTH)
    fetch(b, 0)
    b.place_at(-1.5, -10, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 7: "Одна батарея на двоих" --------------------------------------------------

def room7(b):
    # Loop 1: the battery powers line A; the echo walks into the buffer and holds plate C.
    fetch(b, 1, side=(0, 1))
    b.walk_to(-5.2, 6.2, exact=True)
    b.dock(0)
    b.walk_path([(-3.6, 4.6), (-3.6, 1.5), (-6.5, -1.5)], exact=True)
    b.wait(12)
    b.commit()

    # Loop 2: once the cassette is through line A, the battery moves to line B.
    b.walk_to(-4.8, 7.0, exact=True)
    b.wait_time(5.0)
    b.walk_to(-5.2, 6.2, exact=True)
    b.pickup(1)
    b.walk_to(5.2, 6.2, exact=True)
    b.dock(1)
    b.wait(12)
    b.commit()

    # Loop 3: the player takes the cassette through both airlocks.
    fetch(b, 0, side=(0, 1))
    b.walk_to(-3.6, 4.6)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "line A")
    b.walk_path([(-3.6, 1.5), (3.6, -3.2)])
    b.wait_until(lambda s: s["doors"][1]["open"], 900, "line B")
    b.walk_to(3.6, -8.0)
    b.place_at(3.6, -10, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 6: "Криоэстафета" -----------------------------------------------------------

def room6(b):
    # Loop 1: the echo holds plate C while the player slips through the bypass, then takes
    # the cassette to the shutter and throws it through while the shutter is open. The
    # cassette breaks on the far floor in this loop; the throw is what the echo keeps.
    fetch(b, 0, side=(0, 1))
    b.look(pitch=0.25)
    b.walk_to(-7.4, 4, exact=True)
    b.wait_time(6.6)
    b.walk_to(0, 2.0, exact=True)
    b.look(yaw=NORTH, pitch=0.25)
    b.wait_until(lambda s: s["doors"][1]["open"] and s["time"] >= 8.05, 600, "the shutter")
    b.throw(yaw=NORTH, pitch=0.25)
    b.wait(12)
    b.commit()

    # Loop 2: through the bypass, into the cassette's path, catch it, lay it into the cradle.
    b.walk_to(-7.4, 1.2, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "the bypass")
    b.walk_to(-7.4, -1.2)
    b.walk_to(0, -4.0, exact=True)
    b.look(yaw=SOUTH, pitch=0.93)
    b.wait_until(lambda s: s["player"]["held"] == 0, 900, "the catch")
    b.look(pitch=0.0)
    b.walk_path([(1.5, -2.0), (5.0, -2.0), (6.5, -6.0)])
    b.place_at(6.5, -9, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 8: "Взаимная блокировка" ----------------------------------------------------

def room8(b):
    # Loop 1: the echo presses A, lets it go while the unit passes II, presses it again.
    hold_plate(b, -6.7, 9.5)
    b.wait_time(6.0)
    b.walk_to(-6.7, 7.0, exact=True)
    b.wait_time(9.5)
    hold_plate(b, -6.7, 9.5)
    b.commit()

    # Loop 2: the second echo puts the ballast on scale M and holds B.
    b.walk_to(-3.8, 5.8, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door I")
    b.walk_to(-3.8, 3.2)
    fetch(b, 1, side=(0, -1))
    b.place_at(4.0, 2.9, SOUTH)
    b.walk_to(6.2, 0.9, exact=True)
    b.wait(12)
    b.commit()

    # Loop 3: the unit goes through I, II and III as the echoes switch them.
    fetch(b, 0, side=(0, 1))
    b.walk_to(-3.8, 5.8)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door I")
    b.walk_path([(-3.8, 3.0), (0, 0.4)])
    b.wait_until(lambda s: s["doors"][1]["open"], 900, "door II")
    b.walk_path([(0, -2.6), (3.8, -4.8)])
    b.wait_until(lambda s: s["doors"][2]["open"], 900, "door III")
    b.walk_to(3.8, -8.0)
    b.place_at(3.8, -10.2, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 9: "Полярный ретранслятор" --------------------------------------------------

def room9(b):
    # Loop 1: battery 1 into socket A from the edge of plate C; the echo stays on C and
    # pulls the battery out again once the unit is through II.
    fetch(b, 1, side=(1, 0))
    b.walk_to(-7.2, 6.3, exact=True)
    b.dock(0)
    b.wait_time(9.0)
    b.aim_at(b.s["sockets"][0]["pos"])
    b.pickup(1)
    b.wait(12)
    b.commit()

    # Loop 2: battery 2 into socket B, then the echo holds D.
    b.walk_to(-3, 5.6, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door I")
    b.walk_to(-3, 2.8)
    fetch(b, 2, side=(0, 1))
    b.walk_to(6.1, 0.8, exact=True)
    b.dock(1)
    hold_plate(b, 7.1, -0.5)
    b.commit()

    # Loop 3: the unit through I, II and III.
    fetch(b, 0, side=(0, 1))
    b.walk_to(-3, 5.6)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door I")
    b.walk_path([(-3, 2.5), (3.7, -0.3)])
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][1]["open"], 900, "door II")
    b.walk_path([(3.7, -3.5), (0, -5.6)])
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][2]["open"], 900, "door III")
    b.walk_to(0, -8.0)
    b.place_at(0, -10, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 10: "Герметизация ядра" -----------------------------------------------------

def room10(b):
    # Loop 1: the echo holds A until door II has latched, then leaves it for door III.
    hold_plate(b, -7, 8)
    b.wait_time(12.0)
    b.walk_to(-4, 8.5, exact=True)
    b.wait(12)
    b.commit()

    # Loop 2: ballast onto scale M, B held until II latches, then C held behind II.
    b.walk_to(-3.8, 5.8, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door I")
    b.walk_to(-3.8, 3.0)
    fetch(b, 1, side=(-1, 0))
    b.place_at(3.7, 0.5, EAST)
    b.walk_path([(2.7, 1.8), (6.5, 1.8), (6.5, 0.4)], exact=True)
    b.wait_until(lambda s: s["doors"][1]["open"], 900, "door II latched")
    b.wait(60)
    b.walk_path([(4.8, 1.0), (4.8, -2.9), (-6.5, -4.7)], exact=True)
    b.wait(12)
    b.commit()

    # Loop 3: telemetry through I, II, III; then the oxygen from behind II.
    fetch(b, 0, side=(0, 1))
    b.walk_to(-3.8, 5.8)
    b.wait_until(lambda s: s["doors"][0]["open"], 600, "door I")
    b.walk_path([(-3.8, 3.0), (4.8, 1.6)])
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][1]["open"], 1200, "door II")
    b.walk_path([(4.8, -2.9), (0, -5.8)])
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][2]["open"], 1200, "door III")
    b.walk_to(-1.2, -8.2)
    b.place_at(-1.2, -10, NORTH)
    b.walk_path([(0, -6.0), (3.5, -4.5)])
    fetch(b, 2)
    b.walk_path([(0, -5.5), (1.2, -8.2)])
    b.place_at(1.2, -10, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 11: "Массовый баланс" -------------------------------------------------------

def room11(b):
    # Loop 1: 2.4 t on each of M1 and M2 (ballast; battery and repair kit), then the
    # battery moves from M2 into socket A once everyone is through I.
    fetch(b, 1, side=(1, 0))
    b.place_at(-5.8, 6.5, NORTH)
    b.walk_to(3.2, 9.3)
    fetch(b, 2, side=(0, -1))
    b.place_at(3.8, 6.5, NORTH)
    b.walk_to(6.0, 8.5)
    fetch(b, 3, side=(0, -1))
    b.place_at(5.2, 6.5, NORTH)
    b.wait_time(11.0)
    b.walk_to(3.8, 7.8, exact=True)
    b.pickup(2)
    b.walk_to(6.1, 6.6, exact=True)
    b.dock(0)
    b.wait(12)
    b.commit()

    # Loop 2: the echo walks through I and holds C.
    b.walk_to(-2.6, 5.2, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 1200, "door I")
    b.walk_path([(-2.6, 2.4), (-6.7, 0.4)], exact=True)
    b.wait(12)
    b.commit()

    # Loop 3: the spectrometer through I and II; oxygen on M3; D held until III latches;
    # then both loads to the goal.
    fetch(b, 0, side=(0, 1))
    b.walk_to(-2.6, 5.3)
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][0]["open"], 1200, "door I")
    b.walk_path([(-2.6, 2.4), (2.8, -0.2)])
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][1]["open"], 1200, "door II")
    b.walk_to(2.8, -3.4)
    b.place_at(2.5, -6.3, NORTH)
    fetch(b, 4, side=(1, 0))
    b.place_at(-4.2, -5.9, NORTH)
    b.walk_path([(-3.0, -3.5), (6.5, -4.5)], exact=True)
    b.wait_until(lambda s: s["doors"][2]["open"], 1200, "door III latched")
    fetch(b, 4)
    b.walk_path([(0, -5.6), (-1.2, -8.2)])
    b.place_at(-1.2, -10, NORTH)
    b.walk_to(1.0, -6.0)
    fetch(b, 0)
    b.walk_path([(0.4, -6.0), (0.4, -8.4)])
    b.place_at(1.2, -10, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 12: "Сортировочное кольцо" --------------------------------------------------

def room12(b):
    # Loop 1: the echo holds A while the player enters the left wing, then holds B while
    # the second echo enters the right wing, then leaves both entrance plates.
    hold_plate(b, -13, 18)
    b.wait_time(5.0)
    hold_plate(b, 13, 18)
    b.wait_time(13.5)
    b.walk_to(13, 20.8, exact=True)
    b.wait(12)
    b.commit()

    # Loop 2: the second echo enters the right wing and holds D.
    b.walk_to(9, 13.4, exact=True)
    b.wait_until(lambda s: s["doors"][1]["open"], 1200, "the right entrance")
    b.walk_to(9, 10.5)
    hold_plate(b, 12, 0)
    b.commit()

    # Loop 3: the player holds C with the optics in hand until the dock gates latch,
    # delivers the optics, then fetches the archive through the joined dock.
    b.walk_to(-9, 13.4, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 1200, "the left entrance")
    b.walk_to(-9, 10.5)
    fetch(b, 0, side=(0, 1))
    b.walk_to(-12, 0, exact=True)
    b.wait_until(lambda s: s["doors"][2]["open"] and s["doors"][3]["open"], 2400,
                 "the dock gates")
    b.walk_path([(-9, -10.0), (-9, -13.8), (-1.5, -18.0)])
    b.place_at(-1.5, -20, NORTH)
    b.walk_path([(9, -13.8), (9, -10.0)])
    fetch(b, 1, side=(0, -1))
    b.walk_path([(9, -10.0), (9, -13.8), (1.5, -18.0)])
    b.place_at(1.5, -20, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 13: "Радиотень" -------------------------------------------------------------

def service_passage(b, z_from, z_to):
    """Through the narrow passage on the right (x 17.5), which has no door."""
    b.walk_to(17.5, z_from, exact=True)
    b.walk_to(17.5, z_to, exact=True)


def room13(b):
    # Loop 1: the echo slips through the service passage and holds C (gate I latches with
    # the battery in A), then D (gate II latches with the battery in B), then goes back
    # through a service passage and holds E.
    service_passage(b, 11.5, 8.5)
    b.walk_to(-12, 4, exact=True)
    b.wait_time(17.0)
    b.walk_to(-13, -4, exact=True)
    b.wait_time(29.0)
    service_passage(b, -8.5, -11.5)
    hold_plate(b, 10, -15)
    b.commit()

    # Loop 2: the battery goes A, then B, then A again, as the gates latch.
    fetch(b, 1, side=(1, 0))
    b.walk_to(-12.7, 18, exact=True)
    b.dock(0)
    b.wait_until(lambda s: s["doors"][0]["open"], 3000, "gate I latched")
    b.aim_at(b.s["sockets"][0]["pos"])
    b.pickup(1)
    b.walk_path([(-11, 11.5), (-11, 8.5), (11, -1.7)], exact=True)
    b.dock(1)
    b.wait_until(lambda s: s["doors"][1]["open"], 3000, "gate II latched")
    b.aim_at(b.s["sockets"][1]["pos"])
    b.pickup(1)
    b.walk_path([(-11, 8.5), (-11, 11.5), (-12.7, 18)], exact=True)
    b.dock(0)
    b.wait(12)
    b.commit()

    # Loop 3: both modules into the band before gate III, then through it to the goal.
    fetch(b, 0, side=(1, 0))
    b.walk_to(-11, 11.8)
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][0]["open"], 3000, "gate I")
    b.walk_to(-11, -8.2)
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][1]["open"], 3000, "gate II")
    b.walk_to(-11, -12.0)
    b.place_at(-7.5, -13.5, EAST)
    b.walk_path([(-11, -11.5), (-11, -8.5)])
    fetch(b, 2, side=(0, -1))
    b.walk_path([(-11, -8.2), (-11, -12.0)])
    b.place_at(-7.5, -16.0, EAST)
    b.walk_to(-10.5, -15.0)
    b.wait_until(lambda s: s["doors"][2]["open"], 3000, "gate III")
    fetch(b, 2, side=(-1, 0))
    b.walk_path([(-11, -16.4), (-11, -19.5)])
    b.place_at(-1.5, -22, EAST)
    b.walk_path([(-11, -19.5), (-11, -16.0)])
    fetch(b, 0, side=(-1, 0))
    b.walk_path([(-11, -16.4), (-11, -19.5)])
    b.place_at(1.5, -22, EAST)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 14: "Дальний док" -----------------------------------------------------------

def room14(b):
    # Loop 1: the first echo holds B.
    hold_plate(b, 15, 20)
    b.commit()

    # Loop 2: the battery powers A, then the echo goes through I and holds C.
    fetch(b, 1, side=(1, 0))
    b.walk_to(-13.7, 20, exact=True)
    b.dock(0)
    b.walk_to(0, 15.6, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 1200, "gate I")
    b.walk_to(0, 12.4)
    hold_plate(b, -14, 5)
    b.commit()

    # Loop 3: the third echo goes through the service door and holds E.
    b.walk_to(0, 15.6, exact=True)
    b.wait_until(lambda s: s["doors"][0]["open"], 1200, "gate I")
    b.walk_to(0, 12.4)
    b.walk_to(17, 1.4, exact=True)
    b.wait_until(lambda s: s["doors"][2]["open"], 1200, "the service door")
    b.walk_to(17, -1.4)
    hold_plate(b, 15, -12)
    b.commit()

    # Loop 4: the optics through the pulse window, the player through the service door;
    # the oxygen weighs down M while the player holds D; then both loads to the dock.
    fetch(b, 0, side=(0, 1))
    b.walk_to(0, 15.6)
    b.look(yaw=NORTH)
    b.wait_until(lambda s: s["doors"][0]["open"], 1200, "gate I")
    b.look(pitch=0.25)
    b.walk_to(0, 2.0, exact=True)
    b.look(yaw=NORTH, pitch=0.25)
    b.wait_until(lambda s: s["doors"][1]["open"], 2400, "the pulse window")
    b.throw(yaw=NORTH, pitch=0.25)
    b.walk_to(17, 1.4, exact=True)
    b.wait_until(lambda s: s["doors"][2]["open"], 1200, "the service door")
    b.walk_to(17, -1.4)
    wait_rest(b, 0)
    fetch(b, 0)
    b.place_at(4.0, -16.0, NORTH)
    fetch(b, 2)
    b.place_at(0, -12, EAST)
    hold_plate(b, -15, -12)
    b.wait_until(lambda s: s["doors"][3]["open"], 2400, "the dock gate latched")
    fetch(b, 2)
    b.walk_path([(-0.5, -18.4), (-0.5, -22.0)])
    b.place_at(-1.5, -26, NORTH)
    b.walk_path([(0, -21.5), (0, -18.5)])
    fetch(b, 0)
    b.walk_path([(0.5, -18.4), (0.5, -22.0)])
    b.place_at(1.5, -26, NORTH)
    b.wait_until(lambda s: s["won"], 300, "the win")


# ---- room 15: "Вертикальный терминал" -------------------------------------------------

LOWER_LIFT_CONTROL = 0
UPPER_GRAVITY_CONSOLE = 1
LOWER_GRAVITY_CONSOLE = 0


def room15(b):
    # Loop 1: the echo stays on plate A and powers the lift.
    hold_plate(b, -5, 6.7)
    b.commit()

    # Loop 2: container onto the platform, cargo gravity off, ride up, wait for the player
    # to cross the bridge, then throw the container across the gap.
    fetch(b, 0, side=(0, 1))
    b.place_at(-1.0, 4.5, NORTH)
    b.walk_to(3.6, 7.2, exact=True)
    b.use(b.s["gravity_controls"][LOWER_GRAVITY_CONSOLE], GRAVITY_OFF)
    b.walk_to(1.0, 3.0, exact=True)
    b.use(b.s["lift"]["controls"][LOWER_LIFT_CONTROL], LIFT_UP)
    b.wait_until(lambda s: s["lift"]["height"] >= 4.8, 600, "the lift at the top")
    b.wait(6)
    b.pickup(0)
    b.look(yaw=NORTH, pitch=0.0)
    b.walk_to(0, -2.4, exact=True)
    b.look(yaw=NORTH, pitch=0.0)
    b.wait_time(b.t + 8.0)
    b.throw(yaw=NORTH, pitch=0.0)
    b.wait(30)
    b.commit()

    # Loop 3: ride up beside the echo, cross the bridge, catch the container on the far
    # slab, put it over the goal and switch cargo gravity back on.
    b.walk_to(1.2, 2.2, exact=True)
    b.wait_until(lambda s: s["lift"]["height"] >= 4.8, 1800, "the lift at the top")
    b.walk_to(11, -2.5, exact=True)
    b.walk_to(11, -16.5, exact=True)
    b.walk_to(0, -18.5, exact=True)
    b.look(yaw=SOUTH, pitch=0.0)
    b.wait_until(lambda s: s["player"]["held"] == 0, 1800, "the catch")
    b.place_at(0, -23, NORTH)
    b.walk_to(8.4, -18.2, exact=True)
    b.use(b.s["gravity_controls"][UPPER_GRAVITY_CONSOLE], GRAVITY_ON)
    b.walk_to(2.0, -20.5)
    b.wait_until(lambda s: s["won"], 600, "the win")


ROOMS = {
    0: room0,
    1: room1,
    2: room2,
    3: room3,
    4: room4,
    5: room5,
    6: room6,
    7: room7,
    8: room8,
    9: room9,
    10: room10,
    11: room11,
    12: room12,
    13: room13,
    14: room14,
    15: room15,
}
