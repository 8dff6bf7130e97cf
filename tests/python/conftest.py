"""Shared fixtures of the Python package tests: the generated samples and the zelir tool."""
import os

import pytest

import zelir


@pytest.fixture(autouse=True)
def fresh_data_folder(tmp_path, monkeypatch):
    """Display settings stored by one test (para.ini) never reach another."""
    monkeypatch.setenv("ZELIR_DATA_DIR", str(tmp_path / "zelir-data"))


@pytest.fixture(scope="session")
def samples():
    return os.environ["ZELIR_SAMPLES"]


@pytest.fixture(scope="session")
def movie_path(samples):
    return os.path.join(samples, "sample.irm")


@pytest.fixture
def movie(movie_path):
    with zelir.open(movie_path) as source:
        yield source
