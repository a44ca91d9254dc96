"""What the help says of Morrel beyond what the part itself gives: what its
pins mean and its timing diagram, a run of its demo.stim at 4 bits with
the clock edges marked at which the part shifted. tools/help-facts reads
it with its kit (the drawing, the dump's reader) and the part (name, pins,
a hostsim to run it)."""
import json
import os
import tempfile

MEANINGS = {
    "i": ["auf 1: alle Bits des Registers werden 0", "eine steigende Flanke (Wechsel von 0 auf 1) schiebt",
          "Schiebefreigabe: geschoben wird nur, solange dieser Eingang auf 1 liegt",
          "der Pegel, der beim Schieben in das erste Bit &uuml;bernommen wird"],
    "o": ["das letzte Bit des Registers"],
}

STIMULUS = os.path.join("shiftreg", "demo.stim")
WIDTH = 4
SERIAL_IN, CLOCK = "Serieller Eingang", "Takteingang"


def extras(kit, part):
    waves = kit.run_waves(part, STIMULUS, f"{WIDTH},1")
    timing = register_timing(kit, part.pins, waves, shifting_steps(kit, part))
    return {}, {
        "zeitdiagramm.json": ("the register's timing diagram (WaveDrom)",
                              (json.dumps(timing, ensure_ascii=False, indent=1) + "\n").encode("utf-8")),
        "bilder/zeitdiagramm.png": ("the register's timing diagram", kit.timing_picture(timing)),
    }


def register_timing(kit, pins, waves, shifted):
    """WaveDrom's JSON of the register's run: one period per step of the
    stimulus (the first is the initial evaluation), the pins by their names,
    the clock's rising edge marked with an arrow ("H") at every step in
    shifted."""
    names = pins.names["i"] + pins.names["o"]
    signal = [{"name": name, "wave": kit.wave_string(wave)} for name, wave in zip(names, waves)]
    clock = signal[names.index(CLOCK)]
    clock["wave"] = marked_edges(kit, clock["wave"], waves[names.index(CLOCK)], shifted)
    return {
        "signal": signal,
        "head": {"text": f"Schieberegister mit {WIDTH} Bit", "tick": 0},
        "foot": {"text": "Schritte der Simulation, 0 ist der Start; roter Pfeil: Flanke, mit der das Register schiebt"},
    }


def marked_edges(kit, wave, levels, shifted):
    """The clock's wave with "H", high with its edge marked, at each step
    in shifted; a shift where the clock did not rise is refused, as the
    diagram could not show it."""
    marked = list(wave)
    for step in shifted:
        if not (step and levels[step - 1] == "0" and levels[step] == "1"):
            raise kit.Refusal(f"the register shifted at step {step} of {STIMULUS}, where its clock did not rise")
        marked[step] = "H"
    return "".join(marked)


def shifting_steps(kit, part):
    """The steps of the demo run at which the register took its serial
    input, as the part shows it: runs of the stimulus at a width of 1 bit,
    where the output is the last bit taken, with the serial input of the
    stimulus's line n set to bit r of n in run r. A step took its input
    where the outputs of all runs read its line's number; a step that did
    not holds an earlier line's number or 0 (empty)."""
    lines = stimulus_lines(os.path.join(kit.ROOT, STIMULUS))
    column = part.pins.names["i"].index(SERIAL_IN)
    output = len(part.pins.names["i"])
    runs = []
    with tempfile.TemporaryDirectory(prefix="help-facts-") as folder:
        for bit in range(len(lines).bit_length()):
            probe = os.path.join(folder, f"bit{bit}.stim")
            write_stimulus(probe, [with_value(line, column, (number >> bit) & 1)
                                   for number, line in enumerate(lines, 1)])
            runs.append(kit.run_waves(part, probe, "1,1")[output])
    taken = [sum(int(run[step]) << bit for bit, run in enumerate(runs)) for step in range(len(runs[0]))]
    line_of = [max(step, 1) for step in range(len(taken))]  # the start and step 1 both evaluate line 1
    return [step for step in range(len(taken)) if taken[step] == line_of[step]]


def stimulus_lines(path):
    """The stimulus's steps, the values of each, comments and blank lines
    left out."""
    with open(path, encoding="utf-8") as f:
        return [line.split("#")[0].split() for line in f if line.split("#")[0].strip()]


def with_value(values, column, value):
    return values[:column] + [str(value)] + values[column + 1:]


def write_stimulus(path, lines):
    with open(path, "w", encoding="utf-8") as f:
        f.write("".join(" ".join(values) + "\n" for values in lines))
