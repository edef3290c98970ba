#!/usr/bin/env python3
"""Writes mapm-oracle.txt: rows of a decimal operation, its places, operands and result.

The results come from Python's decimal module, independent of the decimal layer, and follow the
layer's meaning (mapm/m_apm.h): every operation here rounds to places + 1 significant digits,
halves away from zero (ROUND_HALF_UP), and the result is written as m_apm_to_string writes it
with that many places ("d.dddE+N", "0.00E+0" for zero). Domain errors answer 0.

Rows:  operation places operand [operand] result
  divide a b    a / b (b = 0 answers 0)
  sqrt a        square root (a < 0 answers 0)
  exp a, ln a, log10 a   (ln and log10 of a <= 0 answer 0)
  round a       a rounded
  pow x y       x^y: y = 0 answers 1, x = 0 answers 0, x < 0 with a non-integer y answers 0

Run it from this folder to regenerate the file; the seed is fixed, so the rows are the same
each time.
"""

import decimal
import random
from decimal import ROUND_HALF_EVEN, ROUND_HALF_UP, Context, Decimal, Inexact
from fractions import Fraction
from pathlib import Path

SEED = 20240917
EMAX = 999_999
EMIN = -999_999
MAX_PLACES = 250
OPERAND_EXPONENT = 400

rng = random.Random(SEED)
# Operands are built exactly: plain arithmetic on them never rounds.
decimal.setcontext(Context(prec=10_000, Emax=EMAX, Emin=EMIN))


def context(prec, rounding=ROUND_HALF_EVEN):
    return Context(prec=prec, rounding=rounding, Emax=EMAX, Emin=EMIN, traps=[])


def half_up(value, keep):
    """value rounded to keep significant digits, halves away from zero."""
    return context(keep, ROUND_HALF_UP).plus(value)


def exactly(function, *args):
    """An operation on exact operands whose result fits in a few thousand digits."""
    ctx = context(20_000)
    result = function(ctx, *args)
    assert not ctx.flags[Inexact]
    return result


def correctly_rounded(compute, keep, is_tie=None):
    """compute(ctx) at more digits than kept, then rounded half up.

    The working result is within an ulp or two of the true value at its precision, so only
    guard digits right at a half can hide the side of the tie: those are computed again with
    more digits, and a half that stays is checked for being the true value (is_tie).
    """
    guard = 12
    while True:
        prec = keep + guard
        ctx = context(prec)
        value = compute(ctx)
        if value.is_zero() or not ctx.flags[Inexact]:
            return half_up(value, keep)
        sign, digits, exponent = value.as_tuple()
        assert len(digits) == prec
        tail = int("".join(map(str, digits[keep:])))
        half = 5 * 10 ** (guard - 1)
        if abs(tail - half) > 2:
            return half_up(value, keep)
        if guard >= 200 and is_tie is not None:
            tie = Decimal((sign, digits[:keep] + (5,), exponent + guard - 1))
            if is_tie(tie):
                return half_up(tie, keep)
        guard *= 4
        if guard > 20_000:
            raise RuntimeError("undecided rounding")


def sci(value, places):
    """As m_apm_to_string(places) writes a value of at most places + 1 digits."""
    if value.is_zero():
        return "0" + ("." + "0" * places if places > 0 else "") + "E+0"
    sign, digits, _ = value.as_tuple()
    text = "".join(map(str, digits)).rstrip("0") or "0"
    assert len(text) <= places + 1, (value, places)
    text = text.ljust(places + 1, "0")
    exponent = value.adjusted()
    out = ("-" if sign else "") + text[0]
    if places > 0:
        out += "." + text[1:]
    return out + ("E-" if exponent < 0 else "E+") + str(abs(exponent))


def operand_text(value):
    """An exact operand in the layer's input syntax."""
    if value.is_zero():
        return "0"
    sign, digits, _ = value.as_tuple()
    text = "".join(map(str, digits)).rstrip("0") or "0"
    exponent = value.adjusted()
    out = ("-" if sign else "") + text[0]
    if len(text) > 1:
        out += "." + text[1:]
    return out + ("E-" if exponent < 0 else "E+") + str(abs(exponent))


def random_digits(count):
    return str(rng.randint(1, 9)) + "".join(str(rng.randint(0, 9)) for _ in range(count - 1))


def digit_count(short=20, long=60):
    roll = rng.random()
    if roll < 0.7:
        return rng.randint(1, short)
    return rng.randint(short + 1, long)


def random_decimal(digits, low=-OPERAND_EXPONENT, high=OPERAND_EXPONENT, negative=None):
    """digits significant digits, scientific exponent in [low, high]."""
    exponent = rng.randint(low, high)
    sign = rng.random() < 0.5 if negative is None else negative
    text = ("-" if sign else "") + random_digits(digits)
    return Decimal(text).scaleb(exponent - digits + 1)


def random_places():
    roll = rng.random()
    if roll < 0.06:
        return rng.choice((0, MAX_PLACES))
    if roll < 0.45:
        return rng.randint(0, 20)
    if roll < 0.8:
        return rng.randint(21, 80)
    return rng.randint(81, MAX_PLACES)


def tie_value(places, low=-OPERAND_EXPONENT, high=OPERAND_EXPONENT, negative=False):
    """A value of places + 2 digits ending in 5: exactly between two results."""
    text = random_digits(places + 1) + "5"
    if rng.random() < 0.2:
        text = "9" * (places + 1) + "5"  # the rounding carries into a new digit
    value = Decimal(text).scaleb(rng.randint(low, high) - len(text) + 1)
    return -value if negative else value


rows = []


def add(operation, places, operands, result):
    rows.append(" ".join([operation, str(places)] + [operand_text(o) for o in operands] +
                         [sci(result, places)]))


def divide_rows(count):
    for i in range(count):
        places = random_places()
        keep = places + 1
        kind = i % 10
        if kind < 7:
            a = random_decimal(digit_count())
            b = random_decimal(digit_count())
        elif kind < 9:
            # An exact quotient on a tie or a short exact quotient.
            b = Decimal(rng.choice((2, 4, 5, 8, 16, 25, 125, 3, 7))) * Decimal(
                rng.choice((1, -1)))
            b = b.scaleb(rng.randint(-200, 200))
            q = tie_value(min(places, 60), -150, 150, rng.random() < 0.5)
            a = exactly(Context.multiply, q, b)
        else:
            a = random_decimal(digit_count())
            add("divide", places, [a, Decimal(0)], Decimal(0))
            continue
        add("divide", places, [a, b], context(keep, ROUND_HALF_UP).divide(a, b))


def sqrt_rows(count):
    for i in range(count):
        places = random_places()
        keep = places + 1
        kind = i % 10
        if kind < 7:
            a = random_decimal(digit_count(), negative=False)
        elif kind < 9:
            # Squares of ties, and of short roots.
            if kind == 7:
                root = tie_value(min(places, 80), -190, 190)
            else:
                root = random_decimal(rng.randint(1, 12), -190, 190, negative=False)
            a = exactly(Context.multiply, root, root)
        else:
            a = random_decimal(digit_count(), negative=True)
            add("sqrt", places, [a], Decimal(0))
            continue
        add("sqrt", places, [a], correctly_rounded(lambda ctx: ctx.sqrt(a), keep))


def exp_rows(count):
    for i in range(count):
        places = random_places()
        kind = i % 4
        if kind == 0:
            a = random_decimal(digit_count(20, 40), -OPERAND_EXPONENT, 0)
        elif kind == 1:
            a = random_decimal(digit_count(20, 40), -3, 1)
        elif kind == 2:
            # Results of magnitude up to about 10^±400.
            a = random_decimal(digit_count(20, 40), 2, 2)
            if abs(a) > 920:
                a = a / 2
        else:
            a = random_decimal(digit_count(20, 40), -60, -1)
        add("exp", places, [a], correctly_rounded(lambda ctx: ctx.exp(a), places + 1))
    add("exp", 10, [Decimal(0)], Decimal(1))


def log_rows(operation, count):
    method = Context.ln if operation == "ln" else Context.log10
    for i in range(count):
        places = random_places()
        kind = i % 8
        if kind < 5:
            a = random_decimal(digit_count(20, 50), negative=False)
        elif kind == 5:
            # Next to 1, where the logarithm cancels.
            k = rng.randint(1, 120)
            a = Decimal(1) + Decimal(rng.choice((1, -1))) * random_decimal(
                rng.randint(1, 15), -k, -k, negative=False)
        elif kind == 6:
            a = Decimal(1).scaleb(rng.randint(-OPERAND_EXPONENT, OPERAND_EXPONENT))
        else:
            a = rng.choice((Decimal(0), random_decimal(digit_count(), negative=True)))
            add(operation, places, [a], Decimal(0))
            continue
        add(operation, places, [a],
            correctly_rounded(lambda ctx: method(ctx, a), places + 1))
    add(operation, 5, [Decimal(1)], Decimal(0))


def round_rows(count):
    for i in range(count):
        places = random_places()
        if i % 4 == 0:
            a = tie_value(places, negative=rng.random() < 0.5)
        else:
            a = random_decimal(rng.randint(1, 300))
        add("round", places, [a], half_up(a, places + 1))
    add("round", 3, [Decimal(0)], Decimal(0))


def integer_power(x, n, keep):
    p = exactly(Context.power, x, abs(n))
    return half_up(p, keep) if n > 0 else context(keep, ROUND_HALF_UP).divide(1, p)


def pow_rows(count):
    for i in range(count):
        places = random_places()
        keep = places + 1
        kind = i % 10
        if kind < 5:
            # A non-integer exponent, the result within about 10^±400.
            x = random_decimal(digit_count(15, 30), negative=False)
            size = max(abs(x.adjusted()), 1)
            y = random_decimal(rng.randint(1, 8), -3, 2)
            while abs(y) * size > 400 or y == y.to_integral_value():
                y = context(rng.randint(1, 8)).divide(y, 3)
            fraction = Fraction(y)

            def is_tie(t, x=x, fraction=fraction):
                if fraction.denominator > 1000:
                    return False
                return Fraction(t) ** fraction.denominator == Fraction(x) ** fraction.numerator

            result = correctly_rounded(lambda ctx: ctx.power(x, y), keep, is_tie)
        elif kind < 8:
            # An integer exponent, of either sign, on either sign.
            x = random_decimal(rng.randint(1, 25), -40, 40)
            n = rng.choice((1, -1)) * rng.randint(1, 9 if abs(x.adjusted()) > 20 else 40)
            y = Decimal(n)
            result = integer_power(x, n, keep)
        elif kind == 8:
            # Exact roots and powers of short values: ties among them.
            r = Decimal(rng.randint(1, 99) * 10 + 5).scaleb(rng.randint(-6, 3))
            q = rng.choice((2, 4))
            p = rng.choice([k for k in range(1, 4 * q) if k % q])
            x = exactly(Context.power, r, q)
            y = Decimal(p) / Decimal(q)
            exact = exactly(Context.power, r, p)
            length = len("".join(map(str, exact.as_tuple().digits)).rstrip("0"))
            places = max(rng.choice((length - 2, places)), 0)
            keep = places + 1
            result = half_up(exact, keep)
        else:
            special = i % 3
            if special == 0:
                x, y, result = random_decimal(12), Decimal(0), Decimal(1)
            elif special == 1:
                x, y, result = Decimal(0), random_decimal(3, 0, 1, negative=False), Decimal(0)
            else:
                x = random_decimal(12, negative=True)
                y, result = Decimal("1.5"), Decimal(0)
        add("pow", places, [x, y], result)


def main():
    divide_rows(600)
    sqrt_rows(450)
    exp_rows(450)
    log_rows("ln", 420)
    log_rows("log10", 380)
    round_rows(600)
    pow_rows(550)
    header = [
        "# Decimal operations and their results, rounded to places + 1 significant digits with",
        "# halves away from zero, written as m_apm_to_string writes them with those places.",
        "# Written by make-mapm-oracle.py from Python's decimal module; regenerate, do not edit.",
        "# operation places operand [operand] result",
    ]
    path = Path(__file__).with_name("mapm-oracle.txt")
    path.write_text("\n".join(header + rows) + "\n")
    print(f"{len(rows)} rows, {path.stat().st_size} bytes")


if __name__ == "__main__":
    main()
