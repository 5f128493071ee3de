def sum_as_string(a: int, b: int) -> str:
    """Adds two unsigned pointer-width integers, wrapping around, and returns the sum in decimal."""
    ...

def raw_input(prompt: str) -> None:
    """Compiles and runs the script file at path `prompt`, printing its listing, trace and output."""
    ...
