"""What the help says of Morrel beyond what the part itself gives: what its
pins mean and its timing diagram, a run of its demo.stim at 4
bits. tools/help-facts reads it with its kit (the drawing, the dump's
reader) and the part (name, pins, a hostsim to run it)."""
import json
import os

MEANINGS = {
    "i": ["auf 1: alle Bits des Registers werden 0", "eine steigende Flanke (Wechsel von 0 auf 1) schiebt",
          "Schiebefreigabe: geschoben wird nur, solange dieser Eingang auf 1 liegt",
          "der Pegel, der beim Schieben in das erste Bit &uuml;bernommen wird"],
    "o": ["das letzte Bit des Registers"],
}

STIMULUS = os.path.join("shiftreg", "demo.stim")
WIDTH = 4


def extras(kit, part):
    waves = kit.run_waves(part, STIMULUS, f"{WIDTH},1")
    timing = register_timing(kit, part.pins, waves)
    return {}, {
        "zeitdiagramm.json": ("the register's timing diagram (WaveDrom)",
                              (json.dumps(timing, ensure_ascii=False, indent=1) + "\n").encode("utf-8")),
        "bilder/zeitdiagramm.png": ("the register's timing diagram", kit.timing_picture(timing)),
    }


def register_timing(kit, pins, waves):
    """WaveDrom's JSON of the register's run: one period per step of the
    stimulus (the first is the initial evaluation), the pins by their names."""
    names = pins.names["i"] + pins.names["o"]
    return {
        "signal": [{"name": name, "wave": kit.wave_string(wave)} for name, wave in zip(names, waves)],
        "head": {"text": f"Schieberegister mit {WIDTH} Bit", "tick": 0},
        "foot": {"text": "Schritte der Simulation; Schritt 0 ist der Start"},
    }
