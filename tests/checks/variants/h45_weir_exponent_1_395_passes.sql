-- A weir with the exponent 1.395 passes.
-- expect: 
-- level: 0
-- absent: H45
UPDATE tbl_rvldaten SET HVE_n_c = 1.395 WHERE bez = 'U1';
