-- An in-/outlet without a discharge.
-- expect: Q02
-- level: 2
UPDATE tbl_rvldaten SET Q = NULL WHERE bez = 'Q2';
